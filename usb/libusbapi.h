#pragma once

#include <libusb.h>

// The libusb functions CUsb uses, as a table of pointers with libusb's own
// signatures. The default table is plain libusb; the radio emulator provides
// a table of its own so that the same code runs against an emulated radio.
struct LibusbApi {
    int (*init)(libusb_context **ctx);
    libusb_device_handle *(*open_device_with_vid_pid)(
        libusb_context *ctx, uint16_t vendor_id, uint16_t product_id);
    int (*set_configuration)(libusb_device_handle *dev, int configuration);
    int (*kernel_driver_active)(libusb_device_handle *dev, int interface_number);
    int (*detach_kernel_driver)(libusb_device_handle *dev, int interface_number);
    int (*claim_interface)(libusb_device_handle *dev, int interface_number);
    int (*release_interface)(libusb_device_handle *dev, int interface_number);
    void (*close)(libusb_device_handle *dev_handle);
    void (*exit)(libusb_context *ctx);
    int (*bulk_transfer)(libusb_device_handle *dev_handle, unsigned char endpoint,
        unsigned char *data, int length, int *actual_length, unsigned int timeout);
    int (*clear_halt)(libusb_device_handle *dev, unsigned char endpoint);
    // Enumeration and opening one device: tells why the radio could not be
    // opened when open_device_with_vid_pid found nothing it could open.
    ssize_t (*get_device_list)(libusb_context *ctx, libusb_device ***list);
    void (*free_device_list)(libusb_device **list, int unref_devices);
    int (*get_device_descriptor)(libusb_device *dev, struct libusb_device_descriptor *desc);
    int (*open)(libusb_device *dev, libusb_device_handle **dev_handle);
};

// The table of the real libusb.
const LibusbApi &realLibusb();
