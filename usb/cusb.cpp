#include "usb/cusb.h"

#include <QLoggingCategory>

#include <QDebug>

#include <cstring>

Q_LOGGING_CATEGORY(usbExchange, "orvane.usb.exchange", QtInfoMsg)

namespace {

constexpr uint16_t kVendorId = 0x0483;
constexpr uint16_t kProductId = 0x5720;
constexpr int kConfiguration = 1;
constexpr int kInterface = 0;
constexpr uint8_t kEndpointOut = 0x01;
constexpr uint8_t kEndpointIn = 0x81;
constexpr uint8_t kLun = 0;
constexpr unsigned int kTimeoutMs = 200;
constexpr int kRetries = 5;
constexpr int kSenseLength = 18;
constexpr int kWrapperLength = 31;
constexpr int kStatusLength = 13;

constexpr int kIdentityLength = 265;
constexpr int kOpenAnswerLength = 10;
constexpr int kBlockLength = 2063;
constexpr int kImageBlocks = 177;
constexpr int kGpsBlocks = 247;

// Vendor command blocks: a frame goes out with the first, an answer comes
// back with the second.
constexpr uint8_t kSendBlock[16] = { 0xFF, 0x2A, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x47, 0x50 };
constexpr uint8_t kReceiveBlock[16]
    = { 0xFF, 0x28, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x47, 0x50 };

// One debug line, exactly as given (no quoting, no trimming of spaces).
void logLine(const QString &text) { qDebug("%s", text.toUtf8().constData()); }

// The lines every successful exchange writes: off unless asked for (-v, or
// QT_LOGGING_RULES="orvane.usb.exchange.debug=true"), as on a pipe they cost
// more than the exchange itself. Failures always go to logLine.
void exchangeLine(const QString &text)
{
    qCDebug(usbExchange, "%s", text.toUtf8().constData());
}

// Command block length by SCSI group; 0 where the group defines none.
uint8_t commandBlockLength(uint8_t opcode)
{
    if (opcode <= 0x1F)
        return 6;
    if (opcode <= 0x5F)
        return 10;
    if (opcode <= 0x7F)
        return 0;
    if (opcode <= 0x9F)
        return 16;
    if (opcode <= 0xBF)
        return 12;
    return 0;
}

void putLe32(uint8_t *p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

QByteArray blockRequest(quint8 code, quint16 block)
{
    QByteArray payload(4, '\0');
    payload[0] = char(block >> 8);
    payload[1] = char(block);
    payload[2] = 0x08;
    payload[3] = 0x00;
    return CUsb::buildFrame(code, payload);
}

} // namespace

CUsb::CUsb(QObject *parent) : QObject(parent), m_api(&realLibusb()) { }

CUsb::~CUsb()
{
    if (m_open)
        release();
}

void CUsb::setApi(const LibusbApi *api) { m_api = api ? api : &realLibusb(); }

// Gives back an open connection without logging.
void CUsb::release()
{
    m_api->release_interface(m_handle, kInterface);
    m_api->close(m_handle);
    m_api->exit(nullptr);
    m_handle = nullptr;
    m_open = false;
}

int CUsb::init()
{
    if (m_open)
        release();

    int code = m_api->init(nullptr);
    logLine(QStringLiteral("init(): code=%1").arg(code));

    m_handle = m_api->open_device_with_vid_pid(nullptr, kVendorId, kProductId);
    if (!m_handle) {
        logLine(QStringLiteral("Err: dev_handle == NULL"));
        m_openError = openError();
        if (m_openError == LIBUSB_ERROR_ACCESS) {
            logLine(QStringLiteral("Err: no permission to open the radio"));
            emit accessDenied();
        }
        m_api->exit(nullptr);
        return 2;
    }
    m_openError = 0;

    code = m_api->set_configuration(m_handle, kConfiguration);
    logLine(QStringLiteral("init(): code=%1").arg(code));

    // Anything but "no driver" (including "cannot tell") gets a detach attempt.
    if (m_api->kernel_driver_active(m_handle, kInterface) != 0)
        m_api->detach_kernel_driver(m_handle, kInterface);

    if (m_api->claim_interface(m_handle, kInterface) < 0) {
        logLine(QStringLiteral("Err: claim_interface"));
        // Leave nothing half open behind a failed attempt; the caller retries
        // with a fresh init and never calls deInit after a failure.
        m_api->close(m_handle);
        m_api->exit(nullptr);
        m_handle = nullptr;
        return 2;
    }
    m_open = true;
    return 0;
}

// open_device_with_vid_pid gives no reason for a failure: look for the radio
// again and open it directly to learn the libusb error.
int CUsb::openError() const
{
    libusb_device **list = nullptr;
    const ssize_t count = m_api->get_device_list(nullptr, &list);
    if (count < 0)
        return int(count);
    int result = LIBUSB_ERROR_NO_DEVICE;
    for (ssize_t i = 0; i < count && result != LIBUSB_ERROR_ACCESS; ++i) {
        libusb_device_descriptor desc;
        if (m_api->get_device_descriptor(list[i], &desc) != 0 || desc.idVendor != kVendorId
            || desc.idProduct != kProductId)
            continue;
        libusb_device_handle *handle = nullptr;
        result = m_api->open(list[i], &handle);
        if (result == 0)
            m_api->close(handle);
    }
    m_api->free_device_list(list, 1);
    return result;
}

int CUsb::deInit()
{
    if (!m_open)
        return 0;
    const int code = m_api->release_interface(m_handle, kInterface);
    logLine(QStringLiteral("deInit(): code=%1").arg(code));
    m_api->close(m_handle);
    m_api->exit(nullptr);
    m_handle = nullptr;
    m_open = false;
    return 0;
}

int CUsb::send_mass_storage_command(libusb_device_handle *handle, uint8_t endpoint, uint8_t lun,
    const uint8_t *cdb, uint8_t direction, uint32_t data_length, uint32_t *ret_tag)
{
    if (!cdb)
        return -1;
    if (endpoint & LIBUSB_ENDPOINT_IN) {
        logLine(QStringLiteral("send_mass_storage_command: cannot send command on IN endpoint\n"));
        return -1;
    }

    uint8_t length = commandBlockLength(cdb[0]);
    if (length == 0) {
        logLine(QStringLiteral("send_mass_storage_command: don't know how to handle this command "
                               "(%1, length %2)\n")
                    .arg(cdb[0])
                    .arg(length));
        // Only the radio's vendor code is carried without a SCSI group length.
        if (cdb[0] != 0xFF)
            return -1;
        length = 16;
    }

    uint8_t cbw[kWrapperLength] = {};
    cbw[0] = 'U';
    cbw[1] = 'S';
    cbw[2] = 'B';
    cbw[3] = 'C';
    const uint32_t tag = m_tag++;
    if (ret_tag)
        *ret_tag = tag;
    putLe32(cbw + 4, tag);
    putLe32(cbw + 8, data_length);
    cbw[12] = direction;
    cbw[13] = lun;
    cbw[14] = length;
    std::memcpy(cbw + 15, cdb, length);

    int result = 0;
    int size = 0;
    for (int attempt = 0; attempt < kRetries; ++attempt) {
        result = m_api->bulk_transfer(handle, endpoint, cbw, kWrapperLength, &size, kTimeoutMs);
        if (result != LIBUSB_ERROR_PIPE)
            break;
        m_api->clear_halt(handle, endpoint);
    }
    if (result != 0) {
        logLine(QStringLiteral("send_mass_storage_command: Err %1").arg(result));
        return -1;
    }
    exchangeLine(QStringLiteral("send_mass_storage_command:  sent %1 CDB bytes").arg(length));
    return 0;
}

int CUsb::get_mass_storage_status(
    libusb_device_handle *handle, uint8_t endpoint, uint32_t expected_tag)
{
    uint8_t csw[kStatusLength] = {};
    int size = 0;
    int result = 0;
    for (int attempt = 0; attempt < kRetries; ++attempt) {
        result = m_api->bulk_transfer(handle, endpoint, csw, kStatusLength, &size, kTimeoutMs);
        if (result != LIBUSB_ERROR_PIPE)
            break;
        m_api->clear_halt(handle, endpoint);
    }
    if (result != 0) {
        logLine(QStringLiteral(" get_mass_storage_status: ERR %1").arg(result));
        return -1;
    }
    if (size != kStatusLength) {
        logLine(QStringLiteral(" get_mass_storage_status: ERR received %1 bytes (expected 13)")
                    .arg(size));
        return -1;
    }
    const uint32_t tag = uint32_t(csw[4]) | uint32_t(csw[5]) << 8 | uint32_t(csw[6]) << 16
        | uint32_t(csw[7]) << 24;
    if (tag != expected_tag) {
        logLine(QStringLiteral(
            " get_mass_storage_status: ERR mismatched tags (expected %1 , received %2 )")
                    .arg(expected_tag)
                    .arg(tag));
        return -1;
    }
    const uint8_t status = csw[12];
    if (status == 0) {
        exchangeLine(QStringLiteral("  Mass Storage Status: %1  ").arg(status));
        return 0;
    }
    logLine(QStringLiteral("  Mass Storage Status: %1  ").arg(status));
    if (status == 1)
        return -2;
    return -1;
}

void CUsb::get_sense(libusb_device_handle *handle, uint8_t endpoint_in, uint8_t endpoint_out)
{
    uint8_t cdb[16] = {};
    cdb[0] = 0x03; // REQUEST SENSE
    cdb[4] = kSenseLength;
    uint32_t tag = 0;
    send_mass_storage_command(
        handle, endpoint_out, kLun, cdb, LIBUSB_ENDPOINT_IN, kSenseLength, &tag);

    uint8_t sense[kSenseLength] = {};
    int size = 0;
    const int result
        = m_api->bulk_transfer(handle, endpoint_in, sense, kSenseLength, &size, kTimeoutMs);
    if (result < 0) {
        logLine(QStringLiteral("get_sense: libusb_bulk_transfer failed  %1").arg(result));
        return;
    }
    logLine(QStringLiteral("get_sense: received  %1").arg(size));
    if (sense[0] != 0x70 && sense[0] != 0x71)
        logLine(QStringLiteral("get_sense:  ERROR No sense data"));
    else
        logLine(QStringLiteral("get_sense: ERR %1 %2 %3")
                    .arg(sense[2] & 0x0F)
                    .arg(sense[12])
                    .arg(sense[13]));
    get_mass_storage_status(handle, endpoint_in, tag);
}

int CUsb::SendToUSB(QByteArray &data, uint8_t endpoint, uint32_t tag)
{
    int moved = 0;
    const int result = m_api->bulk_transfer(m_handle, endpoint,
        reinterpret_cast<unsigned char *>(data.data()), data.size(), &moved, kTimeoutMs);
    if (result < 0) {
        m_api->clear_halt(m_handle, endpoint);
        logLine(QStringLiteral("SendToUSB: err %1 ").arg(result));
        return -2;
    }
    int status = get_mass_storage_status(m_handle, kEndpointIn, tag);
    if (status == -1)
        status = get_mass_storage_status(m_handle, kEndpointIn, tag);
    if (status == -2) {
        get_sense(m_handle, kEndpointIn, kEndpointOut);
        return -1;
    }
    if (status == 0)
        return moved;
    return -1;
}

int CUsb::SendToMassStorage(const QByteArray &frame)
{
    m_lastMoved = 0;
    uint32_t tag = 0;
    if (send_mass_storage_command(m_handle, kEndpointOut, kLun, kSendBlock, LIBUSB_ENDPOINT_OUT,
            uint32_t(frame.size()), &tag)
        != 0) {
        logLine(QStringLiteral("SendToMassStorage: err 1"));
        return -1;
    }
    QByteArray data = frame;
    const int moved = SendToUSB(data, kEndpointOut, tag);
    if (moved < 0) {
        logLine(QStringLiteral("SendToMassStorage: err 2"));
        return -1;
    }
    m_lastMoved = moved;
    return 0;
}

int CUsb::SendToMassStorage(QByteArray &answer, int answerLength)
{
    m_lastMoved = 0;
    if (answerLength < 0)
        answerLength = 0;
    if (answer.size() != answerLength) {
        const int kept = qMin(answer.size(), answerLength);
        answer.resize(answerLength);
        std::memset(answer.data() + kept, 0, size_t(answerLength - kept));
    }
    uint32_t tag = 0;
    if (send_mass_storage_command(m_handle, kEndpointOut, kLun, kReceiveBlock, LIBUSB_ENDPOINT_IN,
            uint32_t(answerLength), &tag)
        != 0) {
        logLine(QStringLiteral("SendToMassStorage: err 4"));
        return -1;
    }
    const int moved = SendToUSB(answer, kEndpointIn, tag);
    if (moved < 0) {
        logLine(QStringLiteral("SendToMassStorage: err 5"));
        return -1;
    }
    m_lastMoved = moved;
    return 0;
}

QByteArray CUsb::buildFrame(quint8 code, const QByteArray &payload)
{
    const int n = payload.size();
    QByteArray frame(n + 8, '\0');
    frame[0] = char(0xA1);
    frame[1] = 0;
    frame[2] = char(code);
    frame[3] = char(n >> 8);
    frame[4] = char(n);
    std::memcpy(frame.data() + 5, payload.constData(), size_t(n));
    quint16 sum = 0;
    for (char c : payload)
        sum = quint16(sum + quint8(c));
    frame[5 + n] = char(sum >> 8);
    frame[6 + n] = char(sum);
    frame[7 + n] = char(0xA4);
    return frame;
}

QByteArray CUsb::buildWriteFrame(quint16 block, const QByteArray &stored)
{
    static const char fixedHead[13] = { char(0xA1), 0x00, 0x11, 0x08, 0x08, 0x00, 0x00, 0x00, 0x05,
        char(0x80), 0x00, 0x08, 0x00 };
    QByteArray frame(2064, '\0');
    std::memcpy(frame.data(), fixedHead, sizeof fixedHead);
    frame[5] = char(block >> 8);
    frame[6] = char(block);
    // Content: stored bytes 12..2059; a short or absent block is filled up
    // with zeros so that the frame never reads past the block.
    const int content = qBound(0, stored.size() - 12, 2048);
    if (content > 0)
        std::memcpy(frame.data() + 13, stored.constData() + 12, size_t(content));
    quint16 sum = 0;
    for (int i = 6; i <= 2060; ++i)
        sum = quint16(sum + quint8(frame[i]));
    frame[2061] = char(sum >> 8);
    frame[2062] = char(sum);
    frame[2063] = stored.size() >= kBlockLength ? stored[2062] : char(0xA4);
    return frame;
}

bool CUsb::exchange(const QByteArray &frame, QByteArray &answer, int answerLength, bool whole)
{
    answer.fill('\0', answerLength);
    if (m_cancel)
        return false;
    bool ok = SendToMassStorage(frame) == 0 && m_lastMoved == frame.size();
    // An answer the sequence drops may come short; only a failed transfer counts.
    ok = SendToMassStorage(answer, answerLength) == 0 && (!whole || m_lastMoved == answerLength)
        && ok;
    return ok;
}

QByteArray CUsb::readIdentity(bool *complete)
{
    QByteArray answer;
    bool ok = exchange(buildFrame(0x04), answer, kIdentityLength);
    if (quint8(answer.at(94)) == 0xFF)
        ok = exchange(buildFrame(0x03), answer, kIdentityLength) && ok;
    if (complete)
        *complete = ok;
    return answer;
}

QVariant CUsb::readImage(bool *complete)
{
    QVariantList list;
    list.reserve(1 + kImageBlocks);
    QByteArray answer;
    bool ok = exchange(buildFrame(0x04), answer, kIdentityLength);
    list.append(answer);
    QByteArray opening;
    ok = exchange(buildFrame(0x15), opening, kOpenAnswerLength, false) && ok;
    for (int n = 0; n < kImageBlocks; ++n) {
        QByteArray block;
        ok = exchange(blockRequest(0x10, quint16(n)), block, kBlockLength) && ok;
        list.append(block);
        emit readProgressChanged(int(float(n) * 0.56497175f));
    }
    if (complete)
        *complete = ok;
    return list;
}

int CUsb::writeImage(const QMap<quint16, QByteArray> &blocks)
{
    QByteArray answer;
    bool ok = exchange(buildFrame(0x04), answer, kIdentityLength, false);
    ok = exchange(buildFrame(0x14), answer, kOpenAnswerLength, false) && ok;
    for (int n = 0; n < kImageBlocks && !m_cancel; ++n) {
        const QByteArray frame = buildWriteFrame(quint16(n), blocks.value(quint16(n)));
        ok = SendToMassStorage(frame) == 0 && m_lastMoved == frame.size() && ok;
        emit writeProgressChanged(int(float(n) * 0.56497175f));
    }
    emit writeProgressChanged(100);
    return ok && !m_cancel ? 0 : -1;
}

QVariant CUsb::readGpsLog(bool *complete)
{
    QVariantList list;
    list.reserve(kGpsBlocks);
    bool ok = true;
    for (int n = 0; n < kGpsBlocks; ++n) {
        QByteArray block;
        ok = exchange(blockRequest(0x1B, quint16(n)), block, kBlockLength) && ok;
        list.append(block);
        emit readProgressChanged(int(float(n) * 0.4048583f));
    }
    emit readProgressChanged(100);
    if (complete)
        *complete = ok;
    return list;
}
