#include "usb/cusb.h"

// Placeholder bodies: the connection, the transport and the memory sequences
// are filled in with the radio link.

CUsb::CUsb(QObject *parent) : QObject(parent), m_api(&realLibusb()) {}

CUsb::~CUsb() = default;

void CUsb::setApi(const LibusbApi *api) { m_api = api ? api : &realLibusb(); }

int CUsb::init() { return 2; }

int CUsb::deInit() { return 0; }

int CUsb::send_mass_storage_command(libusb_device_handle *, uint8_t, uint8_t, const uint8_t *,
                                    uint8_t, uint32_t, uint32_t *)
{
    return -1;
}

int CUsb::get_mass_storage_status(libusb_device_handle *, uint8_t, uint32_t) { return -1; }

void CUsb::get_sense(libusb_device_handle *, uint8_t, uint8_t) {}

int CUsb::SendToUSB(QByteArray &, uint8_t, uint32_t) { return -1; }

int CUsb::SendToMassStorage(const QByteArray &) { return -1; }

int CUsb::SendToMassStorage(QByteArray &, int) { return -1; }

QByteArray CUsb::readIdentity(bool *complete)
{
    if (complete)
        *complete = false;
    return QByteArray(265, '\0');
}

QVariant CUsb::readImage(bool *complete)
{
    if (complete)
        *complete = false;
    return QVariantList();
}

int CUsb::writeImage(const QMap<quint16, QByteArray> &) { return -1; }

QVariant CUsb::readGpsLog(bool *complete)
{
    if (complete)
        *complete = false;
    return QVariantList();
}
