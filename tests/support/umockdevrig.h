#pragma once

#include <QtTest>
#include <memory>

#include "emulator/radioemulator.h"
#include "emulator/umockdevradio.h"
#include "support/logcapture.h"
#include "usb/cusb.h"

// An emulated radio reached by the real libusb through umockdev, and a CUsb
// talking to it, for one test function. Only for the programs that run under
// umockdev-wrapper.
struct UmockdevRig {
    std::unique_ptr<LogCapture> quiet; // the transport logs every command
    std::unique_ptr<RadioEmulator> radio;
    std::unique_ptr<UmockdevRadio> adapter;
    std::unique_ptr<CUsb> usb;

    bool start()
    {
        quiet.reset(new LogCapture);
        radio.reset(new RadioEmulator);
        radio->setJournalEnabled(true);
        adapter.reset(new UmockdevRadio(radio.get()));
        usb.reset(new CUsb);
        return adapter->isValid();
    }

    void stop()
    {
        if (usb && usb->isOpen())
            usb->deInit();
        usb.reset();
        adapter.reset();
        radio.reset();
        quiet.reset();
    }
};
