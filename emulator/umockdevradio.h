#pragma once

class RadioEmulator;

// Puts a RadioEmulator behind a mocked /dev/bus/usb node, so that the real
// libusb (unchanged) enumerates, opens, claims and moves every byte to it.
// The program must run under umockdev-wrapper. One adapter at a time.
class UmockdevRadio {
public:
    explicit UmockdevRadio(RadioEmulator *radio);
    ~UmockdevRadio();
    UmockdevRadio(const UmockdevRadio &) = delete;
    UmockdevRadio &operator=(const UmockdevRadio &) = delete;

    // False when the mock environment could not be set up.
    bool isValid() const;
    // Adds or removes the device node (and plugs or unplugs the radio).
    void plug();
    void unplug();
    // The device node refuses to open for this process (mode 000, and root's
    // override of file modes dropped), as for a user without the udev rule.
    void setOpenDenied(bool denied);

    struct Private;

private:
    Private *d;
};
