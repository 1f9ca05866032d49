#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QVariant>

#include "usb/libusbapi.h"

// The USB link to the radio: connection, mass-storage bulk-only transport and
// the radio's memory commands. Every device operation is bracketed by one
// init() and one deInit().
class CUsb : public QObject {
    Q_OBJECT
public:
    explicit CUsb(QObject *parent = nullptr);
    ~CUsb() override;

    // Which libusb to talk through; the real one unless the emulator is used.
    void setApi(const LibusbApi *api);
    const LibusbApi *api() const { return m_api; }

    // Connection: 0 when the radio is open and its interface claimed, else 2.
    int init();
    int deInit();

    // Bulk-only transport.
    int send_mass_storage_command(libusb_device_handle *handle, uint8_t endpoint, uint8_t lun,
        const uint8_t *cdb, uint8_t direction, uint32_t data_length, uint32_t *ret_tag);
    int get_mass_storage_status(
        libusb_device_handle *handle, uint8_t endpoint, uint32_t expected_tag);
    void get_sense(libusb_device_handle *handle, uint8_t endpoint_in, uint8_t endpoint_out);
    int SendToUSB(QByteArray &data, uint8_t endpoint, uint32_t tag);

    // Radio frames carried by vendor commands: send form and receive form.
    int SendToMassStorage(const QByteArray &frame);
    int SendToMassStorage(QByteArray &answer, int answerLength);

    // Memory sequences. Each also reports through `complete` whether every
    // exchange succeeded and every answer arrived at full length; the lists
    // keep their shape either way. writeImage returns 0 only when every frame
    // was delivered and acknowledged.
    QByteArray readIdentity(bool *complete = nullptr);
    QVariant readImage(bool *complete = nullptr);
    int writeImage(const QMap<quint16, QByteArray> &blocks);
    QVariant readGpsLog(bool *complete = nullptr);

    // Radio frames: A1 00 code, big-endian payload length, payload, big-endian
    // payload sum, A4; and the write frame of block n built from a stored block.
    static QByteArray buildFrame(quint8 code, const QByteArray &payload = QByteArray());
    static QByteArray buildWriteFrame(quint16 block, const QByteArray &stored);

    // A cancelled sequence sends nothing more and reports itself incomplete
    // (writeImage: -1); the request holds until resetCancel.
    void requestCancel() { m_cancel = true; }
    void resetCancel() { m_cancel = false; }
    bool cancelRequested() const { return m_cancel; }
    // Why the last init() could not open the radio: a libusb error code
    // (LIBUSB_ERROR_ACCESS: present but not permitted; LIBUSB_ERROR_NO_DEVICE:
    // absent), 0 after an init() that opened it.
    int lastOpenError() const { return m_openError; }

    uint32_t tagCounter() const { return m_tag; }
    bool isOpen() const { return m_open; }
    libusb_device_handle *handle() const { return m_handle; }

signals:
    void readProgressChanged(int progress);
    void writeProgressChanged(int progress);
    // The radio is present but this user may not open it (udev rule missing).
    void accessDenied();

private:
    bool m_cancel = false;
    bool exchange(const QByteArray &frame, QByteArray &answer, int answerLength, bool whole = true);
    void release();
    int openError() const;

    const LibusbApi *m_api;
    libusb_device_handle *m_handle = nullptr;
    uint32_t m_tag = 1;
    bool m_open = false;
    int m_lastMoved = 0; // bytes moved by the last SendToMassStorage
    int m_openError = 0;
};
