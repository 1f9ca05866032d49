// GLib first: its headers use names that Qt defines as macros.
#include <umockdev.h>

#include <linux/capability.h>
#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "emulator/umockdevradio.h"

#include "emulator/radioemulator.h"

#include <cerrno>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr const char *kSysPath = "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1";
constexpr const char *kDevNode = "/dev/bus/usb/001/002";

// Device, configuration, interface (mass storage, SCSI, bulk-only) and the
// two bulk endpoint descriptors of the radio.
constexpr const char *kRecord = "P: /devices/pci0000:00/0000:00:14.0/usb1/1-1\n"
                                "N: bus/usb/001/002\n"
                                "E: DEVNAME=/dev/bus/usb/001/002\n"
                                "E: DEVTYPE=usb_device\n"
                                "E: DRIVER=usb\n"
                                "E: SUBSYSTEM=usb\n"
                                "E: PRODUCT=483/5720/100\n"
                                "E: BUSNUM=001\n"
                                "E: DEVNUM=002\n"
                                "A: busnum=1\\n\n"
                                "A: devnum=2\\n\n"
                                "A: idVendor=0483\\n\n"
                                "A: idProduct=5720\\n\n"
                                "A: speed=480\\n\n"
                                "A: bConfigurationValue=1\\n\n"
                                "A: bNumConfigurations=1\\n\n"
                                "A: dev=189:1\\n\n"
                                "H: "
                                "descriptors="
                                "120100020000004083042057000101020301090220000101008032090400000208"
                                "0650000705010200020007058102000200\n";

// A URB the radio has completed (or is holding back), with its buffer.
struct Urb {
    UMockdevIoctlData *urb;
    UMockdevIoctlData *buffer;
};

UMockdevTestbed *testbed()
{
    // One testbed per process, created on first use and kept.
    static UMockdevTestbed *tb = umockdev_testbed_new();
    return tb;
}

int errnoOf(int libusbCode)
{
    switch (libusbCode) {
    case LIBUSB_ERROR_NO_DEVICE:
        return ENODEV;
    case LIBUSB_ERROR_BUSY:
        return EBUSY;
    case LIBUSB_ERROR_NOT_FOUND:
        return ENOENT;
    case LIBUSB_ERROR_NOT_SUPPORTED:
        return ENOTTY;
    default:
        return EIO;
    }
}

// Adds or drops CAP_DAC_OVERRIDE in the effective set (it stays permitted).
// Without it a root process is refused by file modes like any other user.
void setDacOverride(bool on)
{
    __user_cap_header_struct header = { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0)
        return;
    const unsigned int bit = 1u << CAP_DAC_OVERRIDE;
    if (on)
        data[0].effective |= data[0].permitted & bit;
    else
        data[0].effective &= ~bit;
    syscall(SYS_capset, &header, data);
}

} // namespace

struct UmockdevRadio::Private {
    RadioEmulator *radio = nullptr;
    UMockdevIoctlBase *handler = nullptr;
    gulong signal = 0;
    bool valid = false;
    bool plugged = false;
    std::mutex mutex;
    std::deque<Urb> done;
    std::vector<Urb> pending;

    static gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer self)
    {
        return static_cast<Private *>(self)->handle(client);
    }

    static unsigned int readUint(UMockdevIoctlData *arg)
    {
        GError *err = nullptr;
        UMockdevIoctlData *v = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), &err);
        if (!v) {
            g_clear_error(&err);
            return 0xFFFFFFFFu;
        }
        const unsigned int value = *reinterpret_cast<unsigned int *>(v->data);
        umockdev_ioctl_data_unref(v);
        return value;
    }

    static void complete(UMockdevIoctlClient *client, int libusbCode)
    {
        if (libusbCode == 0)
            umockdev_ioctl_client_complete(client, 0, 0);
        else
            umockdev_ioctl_client_complete(client, -1, errnoOf(libusbCode));
    }

    gboolean handle(UMockdevIoctlClient *client)
    {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
        GError *err = nullptr;

        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData *v = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), &err);
            if (!v)
                break;
            *reinterpret_cast<guint32 *>(v->data) = USBDEVFS_CAP_BULK_CONTINUATION
                | USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT
                | USBDEVFS_CAP_ZERO_PACKET;
            umockdev_ioctl_data_unref(v);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_SETCONFIGURATION:
            complete(client, radio->setConfiguration(int(readUint(arg))));
            return TRUE;
        case USBDEVFS_CLAIMINTERFACE:
            complete(client, radio->claimInterface(int(readUint(arg))));
            return TRUE;
        case USBDEVFS_RELEASEINTERFACE:
            complete(client, radio->releaseInterface(int(readUint(arg))));
            return TRUE;
        case USBDEVFS_GETDRIVER:
            umockdev_ioctl_client_complete(client, -1, ENODATA);
            return TRUE;
        case USBDEVFS_CLEAR_HALT:
            complete(client, radio->clearHalt(quint8(readUint(arg))));
            return TRUE;
        case USBDEVFS_SUBMITURB:
            return submit(client, arg);
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            return reap(client, arg);
        case USBDEVFS_DISCARDURB:
            return discard(client, arg);
        default:
            umockdev_ioctl_client_complete(client, -1, ENOTTY);
            return TRUE;
        }
        g_clear_error(&err);
        umockdev_ioctl_client_complete(client, -1, EFAULT);
        return TRUE;
    }

    gboolean submit(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
    {
        GError *err = nullptr;
        UMockdevIoctlData *u = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), &err);
        if (!u) {
            g_clear_error(&err);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        auto *urb = reinterpret_cast<usbdevfs_urb *>(u->data);
        UMockdevIoctlData *b = umockdev_ioctl_data_resolve(
            u, offsetof(usbdevfs_urb, buffer), gsize(urb->buffer_length), &err);
        if (!b) {
            g_clear_error(&err);
            umockdev_ioctl_data_unref(u);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        urb = reinterpret_cast<usbdevfs_urb *>(u->data);
        int actual = 0;
        const int result = (urb->endpoint & 0x80)
            ? radio->bulkIn(urb->endpoint, b->data, urb->buffer_length, &actual)
            : radio->bulkOut(urb->endpoint, b->data, urb->buffer_length, &actual);
        if (result == LIBUSB_ERROR_NO_DEVICE) {
            umockdev_ioctl_data_unref(b);
            umockdev_ioctl_data_unref(u);
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return TRUE;
        }
        std::lock_guard<std::mutex> lock(mutex);
        if (result == LIBUSB_ERROR_TIMEOUT) {
            // The radio NAKs: the URB stays until libusb discards it.
            pending.push_back({ u, b });
        } else {
            urb->status = result == LIBUSB_ERROR_PIPE ? -EPIPE : (result ? -EIO : 0);
            urb->actual_length = result ? 0 : actual;
            done.push_back({ u, b });
        }
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }

    gboolean reap(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
    {
        Urb urb;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (done.empty()) {
                umockdev_ioctl_client_complete(client, -1, EAGAIN);
                return TRUE;
            }
            urb = done.front();
            done.pop_front();
        }
        // The argument points to the caller's URB pointer: make it point to the URB.
        GError *err = nullptr;
        UMockdevIoctlData *slot = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), &err);
        if (slot) {
            umockdev_ioctl_data_set_ptr(slot, 0, urb.urb);
            umockdev_ioctl_data_unref(slot);
        }
        g_clear_error(&err);
        umockdev_ioctl_data_unref(urb.buffer);
        umockdev_ioctl_data_unref(urb.urb);
        umockdev_ioctl_client_complete(client, 0, 0);
        return TRUE;
    }

    gboolean discard(UMockdevIoctlClient *client, UMockdevIoctlData *arg)
    {
        const gulong address = *reinterpret_cast<gulong *>(arg->data);
        std::lock_guard<std::mutex> lock(mutex);
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            if (it->urb->client_addr == address) {
                auto *urb = reinterpret_cast<usbdevfs_urb *>(it->urb->data);
                urb->status = -ENOENT;
                urb->actual_length = 0;
                done.push_back(*it);
                pending.erase(it);
                umockdev_ioctl_client_complete(client, 0, 0);
                return TRUE;
            }
        }
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return TRUE;
    }

    void dropUrbs()
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const Urb &u : done) {
            umockdev_ioctl_data_unref(u.buffer);
            umockdev_ioctl_data_unref(u.urb);
        }
        for (const Urb &u : pending) {
            umockdev_ioctl_data_unref(u.buffer);
            umockdev_ioctl_data_unref(u.urb);
        }
        done.clear();
        pending.clear();
    }
};

UmockdevRadio::UmockdevRadio(RadioEmulator *radio) : d(new Private)
{
    d->radio = radio;
    d->handler = umockdev_ioctl_base_new();
    d->signal = g_signal_connect(d->handler, "handle-ioctl", G_CALLBACK(Private::onIoctl), d);
    d->valid = testbed() != nullptr;
    if (d->valid && radio->isPresent())
        plug();
}

UmockdevRadio::~UmockdevRadio()
{
    if (d->plugged) {
        GError *err = nullptr;
        umockdev_testbed_detach_ioctl(testbed(), kDevNode, &err);
        g_clear_error(&err);
        umockdev_testbed_remove_device(testbed(), kSysPath);
    }
    g_signal_handler_disconnect(d->handler, d->signal);
    g_object_unref(d->handler);
    d->dropUrbs();
    delete d;
}

bool UmockdevRadio::isValid() const { return d->valid; }

void UmockdevRadio::plug()
{
    d->radio->plug();
    if (d->plugged || !d->valid)
        return;
    GError *err = nullptr;
    if (!umockdev_testbed_add_from_string(testbed(), kRecord, &err)
        || !umockdev_testbed_attach_ioctl(testbed(), kDevNode, d->handler, &err)) {
        g_clear_error(&err);
        d->valid = false;
        return;
    }
    d->plugged = true;
}

void UmockdevRadio::setOpenDenied(bool denied)
{
    d->radio->setOpenDenied(denied);
    const std::string node = std::string(umockdev_testbed_get_root_dir(testbed())) + kDevNode;
    chmod(node.c_str(), denied ? 0 : 0666);
    setDacOverride(!denied);
}

void UmockdevRadio::unplug()
{
    d->radio->unplug();
    if (!d->plugged)
        return;
    GError *err = nullptr;
    umockdev_testbed_detach_ioctl(testbed(), kDevNode, &err);
    g_clear_error(&err);
    umockdev_testbed_remove_device(testbed(), kSysPath);
    d->dropUrbs();
    d->plugged = false;
}
