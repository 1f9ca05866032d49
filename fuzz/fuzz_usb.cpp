// The USB layer reading answers the fuzzer chooses, through the libusb seam:
// every bulk transfer succeeds, times out or stalls, moves any number of bytes
// up to the buffer, and carries the fuzzer's bytes; status wrappers can be
// made to match the command so that long sequences are reached. The lists
// keep their shape and what they hold decodes without fault.
#include <cstring>

#include "codeplug/channel.h"
#include "fuzz/fuzzsupport.h"
#include "gps/datagps.h"
#include "usb/cusb.h"

using FuzzSupport::check;

namespace {

FuzzSupport::Input *feed = nullptr;
uint32_t lastTag = 0;
int transfers = 0;
int handleStorage = 0;

int okInit(libusb_context **) { return 0; }
libusb_device_handle *openRadio(libusb_context *, uint16_t, uint16_t)
{
    return reinterpret_cast<libusb_device_handle *>(&handleStorage);
}
int okWithInt(libusb_device_handle *, int) { return 0; }
void closeHandle(libusb_device_handle *) { }
void exitContext(libusb_context *) { }
int clearHalt(libusb_device_handle *, unsigned char) { return 0; }
// The radio always opens, so the device list is never needed: it is empty.
ssize_t noDevices(libusb_context *, libusb_device ***list)
{
    *list = nullptr;
    return 0;
}
void freeList(libusb_device **, int) { }
int noDescriptor(libusb_device *, libusb_device_descriptor *) { return LIBUSB_ERROR_NOT_FOUND; }
int noOpen(libusb_device *, libusb_device_handle **) { return LIBUSB_ERROR_NO_DEVICE; }

int bulkTransfer(libusb_device_handle *, unsigned char endpoint, unsigned char *data, int length,
    int *actual, unsigned int)
{
    ++transfers;
    *actual = 0;
    // A radio that has nothing more to say stops answering.
    if (feed->empty())
        return LIBUSB_ERROR_TIMEOUT;
    const uint8_t how = feed->byte();
    if ((how & 3) == 2)
        return LIBUSB_ERROR_TIMEOUT;
    if ((how & 3) == 3)
        return (how & 4) ? LIBUSB_ERROR_PIPE : LIBUSB_ERROR_NO_DEVICE;
    const int moved = (how & 4) ? length : int(feed->u16() % uint16_t(length + 1));
    if (!(endpoint & LIBUSB_ENDPOINT_IN)) {
        if (length == 31)
            lastTag = uint32_t(data[4]) | uint32_t(data[5]) << 8 | uint32_t(data[6]) << 16
                | uint32_t(data[7]) << 24;
        *actual = moved;
        return 0;
    }
    if (length == 13 && (how & 8)) {
        // A status wrapper answering the last command, with a chosen status.
        const unsigned char csw[13]
            = { 'U', 'S', 'B', 'S', uint8_t(lastTag), uint8_t(lastTag >> 8), uint8_t(lastTag >> 16),
                  uint8_t(lastTag >> 24), feed->byte(), 0, 0, 0, uint8_t(feed->byte() % 4) };
        std::memcpy(data, csw, 13);
        *actual = 13;
        return 0;
    }
    const QByteArray bytes = feed->take(size_t(moved));
    std::memcpy(data, bytes.constData(), size_t(bytes.size()));
    *actual = moved;
    return 0;
}

const LibusbApi fakeApi = { okInit, openRadio, okWithInt, okWithInt, okWithInt, okWithInt,
    okWithInt, closeHandle, exitContext, bulkTransfer, clearHalt, noDevices, freeList, noDescriptor,
    noOpen };

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Input in(data, size);
    feed = &in;
    lastTag = 0;
    transfers = 0;
    const int what = in.byte() % 3;
    CUsb usb;
    usb.setApi(&fakeApi);
    check(usb.init() == 0, "the fake radio opens");
    bool complete = false;
    if (what == 0) {
        const QByteArray identity = usb.readIdentity(&complete);
        check(identity.size() == 265, "the identity answer keeps its length");
    } else if (what == 1) {
        const QVariantList image = usb.readImage(&complete).toList();
        check(image.size() == 178, "the image keeps its shape");
        BlockMap blocks;
        for (int i = 1; i < image.size(); ++i) {
            const QByteArray block = image.at(i).toByteArray();
            check(block.size() == 2063, "every block keeps its length");
            blocks.insert(quint8(block.at(7)), block);
        }
        Channel channel;
        channel.setRadioType(image.value(1).toByteArray().contains("KR4700") ? 1 : 0);
        channel.decodeAll(blocks);
    } else {
        const QVariantList log = usb.readGpsLog(&complete).toList();
        check(log.size() == 247, "the GPS log keeps its shape");
        dataGps gps;
        gps.decodeGpsLog(log);
    }
    usb.deInit();
    // Nothing loops on an answer: at most 54 transfers per exchange (five tries
    // of each wrapper, a second status read, a sense request).
    check(transfers <= 54 * 250, "transfers stay bounded");
    feed = nullptr;
    return 0;
}
