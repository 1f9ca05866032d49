#include "usb/libusbapi.h"

const LibusbApi &realLibusb()
{
    static const LibusbApi api = {
        libusb_init,
        libusb_open_device_with_vid_pid,
        libusb_set_configuration,
        libusb_kernel_driver_active,
        libusb_detach_kernel_driver,
        libusb_claim_interface,
        libusb_release_interface,
        libusb_close,
        libusb_exit,
        libusb_bulk_transfer,
        libusb_clear_halt,
        libusb_get_device_list,
        libusb_free_device_list,
        libusb_get_device_descriptor,
        libusb_open,
    };
    return api;
}
