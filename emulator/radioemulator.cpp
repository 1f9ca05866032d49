#include "emulator/radioemulator.h"

#include "manager/variantfile.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <QDateTime>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

constexpr quint8 kOut = 0x01;
constexpr quint8 kIn = 0x81;
constexpr int kWrapperLength = 31;
constexpr int kStatusLength = 13;
constexpr int kSenseLength = 18;
constexpr int kOpenAnswerLength = 10;

// Sense keys and codes the radio reports.
constexpr quint8 kIllegalRequest = 0x05;
constexpr quint8 kInvalidOpcode = 0x20;
constexpr quint8 kInvalidFieldInCdb = 0x24;
constexpr quint8 kInvalidFieldInParameters = 0x26;
constexpr quint8 kSequenceError = 0x2C;

quint32 le32(const unsigned char *p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

quint16 payloadSum(const QByteArray &frame, int from, int to)
{
    quint16 sum = 0;
    const auto *p = reinterpret_cast<const unsigned char *>(frame.constData());
    for (int i = from; i < to; ++i)
        sum = quint16(sum + p[i]);
    return sum;
}

// Finishes a frame whose head and payload are in place: checksum and end byte.
void sealFrame(QByteArray &frame)
{
    const int n = frame.size() - 8;
    frame[3] = char(n >> 8);
    frame[4] = char(n);
    const quint16 sum = payloadSum(frame, 5, 5 + n);
    frame[5 + n] = char(sum >> 8);
    frame[6 + n] = char(sum);
    frame[7 + n] = char(0xA4);
}

// Recomputes checksum and end byte of a stored 2063-byte block, head untouched.
void resealBlock(QByteArray &b)
{
    const quint16 sum = payloadSum(b, 5, 2060);
    b[2060] = char(sum >> 8);
    b[2061] = char(sum);
    b[2062] = char(0xA4);
}

// A 2063-byte answer: 12-byte head (byte 7 the block number), content, checksum, end.
QByteArray makeBlock(quint8 code, int block, const char *content)
{
    QByteArray b(RadioEmulator::BlockLength, '\0');
    b[0] = char(0xA1);
    b[2] = char(code);
    b[5] = char(block >> 16);
    b[6] = char(block >> 8);
    b[7] = char(block);
    b[8] = 0x08; // content length 0x0800
    b[9] = 0x00;
    if (content)
        std::memcpy(b.data() + 12, content, RadioEmulator::ContentLength);
    sealFrame(b);
    return b;
}

QByteArray makeIdentity(quint8 code, bool kr4700, quint8 band)
{
    QByteArray id(RadioEmulator::IdentityLength, '\0');
    id[0] = char(0xA1);
    id[2] = char(code);
    const QByteArray model = kr4700 ? "KR4700" : "KR4500";
    std::memcpy(id.data() + 5, model.constData(), size_t(model.size()));
    std::memcpy(id.data() + 21, "V2.07", 5);
    id[94] = char(band);
    id[95] = char(kr4700 ? 1 : 0);
    sealFrame(id);
    return id;
}

QByteArray shortAnswer(quint8 code, quint8 value)
{
    QByteArray a(kOpenAnswerLength, '\0');
    a[0] = char(0xA1);
    a[2] = char(code);
    a[5] = 0x00;
    a[6] = char(value);
    sealFrame(a);
    return a;
}

void setText(QByteArray &block, int offset, int width, const QByteArray &text)
{
    for (int i = 0; i < width; ++i)
        block[offset + i] = i < text.size() ? text[i] : '\0';
}

// One 16-byte GPS record: lat/lng in ddmm.mmmm as little-endian floats.
void putRecord(char *slot, double lat, double lng, const QDateTime &t)
{
    auto ddmm = [](double deg) {
        const double d = std::floor(deg);
        return float(d * 100.0 + (deg - d) * 60.0);
    };
    auto putFloat = [](char *p, float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        for (int i = 0; i < 4; ++i)
            p[i] = char(bits >> (8 * i));
    };
    putFloat(slot, ddmm(lat));
    slot[4] = 'N';
    putFloat(slot + 5, ddmm(lng));
    slot[9] = 'E';
    slot[10] = char(t.date().day());
    slot[11] = char(t.date().month());
    slot[12] = char(t.date().year() % 100);
    slot[13] = char(t.time().hour());
    slot[14] = char(t.time().minute());
    slot[15] = char(t.time().second());
}

// Bound radios of the in-process tables.
constexpr int kSlots = 8;
RadioEmulator *g_slots[kSlots] = {};
std::mutex g_slotMutex;

RadioEmulator *radioOf(libusb_device_handle *h) { return reinterpret_cast<RadioEmulator *>(h); }

template <int N> struct SlotTable {
    static int init(libusb_context **ctx)
    {
        if (ctx)
            *ctx = nullptr;
        if (RadioEmulator *r = g_slots[N])
            r->contextInit();
        return 0;
    }
    static libusb_device_handle *open(libusb_context *, uint16_t vid, uint16_t pid)
    {
        RadioEmulator *r = g_slots[N];
        if (!r || vid != RadioEmulator::VendorId || pid != RadioEmulator::ProductId)
            return nullptr;
        return r->open() == 0 ? reinterpret_cast<libusb_device_handle *>(r) : nullptr;
    }
    static void exit(libusb_context *)
    {
        if (RadioEmulator *r = g_slots[N])
            r->contextExit();
    }
};

int tSetConfiguration(libusb_device_handle *h, int c) { return radioOf(h)->setConfiguration(c); }
int tDriverActive(libusb_device_handle *h, int i) { return radioOf(h)->kernelDriverActive(i); }
int tDetach(libusb_device_handle *h, int i) { return radioOf(h)->detachKernelDriver(i); }
int tClaim(libusb_device_handle *h, int i) { return radioOf(h)->claimInterface(i); }
int tRelease(libusb_device_handle *h, int i) { return radioOf(h)->releaseInterface(i); }
void tClose(libusb_device_handle *h)
{
    if (h)
        radioOf(h)->close();
}
int tBulk(libusb_device_handle *h, unsigned char ep, unsigned char *data, int length, int *actual,
    unsigned int timeout)
{
    if (!h)
        return LIBUSB_ERROR_INVALID_PARAM;
    return (ep & 0x80) ? radioOf(h)->bulkIn(ep, data, length, actual, timeout)
                       : radioOf(h)->bulkOut(ep, data, length, actual, timeout);
}
int tClearHalt(libusb_device_handle *h, unsigned char ep) { return radioOf(h)->clearHalt(ep); }

// The device list holds the radio (an opaque pointer to it) while it is plugged in.
template <int N> ssize_t tDeviceList(libusb_context *, libusb_device ***list)
{
    RadioEmulator *r = g_slots[N];
    const bool present = r && r->isPresent();
    *list = new libusb_device *[2] {
        present ? reinterpret_cast<libusb_device *>(r) : nullptr, nullptr
    };
    return present ? 1 : 0;
}
void tFreeDeviceList(libusb_device **list, int) { delete[] list; }
int tDeviceDescriptor(libusb_device *, libusb_device_descriptor *desc)
{
    *desc = {};
    desc->bLength = LIBUSB_DT_DEVICE_SIZE;
    desc->bDescriptorType = LIBUSB_DT_DEVICE;
    desc->idVendor = RadioEmulator::VendorId;
    desc->idProduct = RadioEmulator::ProductId;
    desc->bNumConfigurations = 1;
    return 0;
}
int tOpen(libusb_device *dev, libusb_device_handle **handle)
{
    auto *r = reinterpret_cast<RadioEmulator *>(dev);
    const int result = r->open();
    *handle = result == 0 ? reinterpret_cast<libusb_device_handle *>(r) : nullptr;
    return result;
}

template <int N> constexpr LibusbApi makeTable()
{
    return { SlotTable<N>::init, SlotTable<N>::open, tSetConfiguration, tDriverActive, tDetach,
        tClaim, tRelease, tClose, SlotTable<N>::exit, tBulk, tClearHalt, tDeviceList<N>,
        tFreeDeviceList, tDeviceDescriptor, tOpen };
}

const LibusbApi g_tables[kSlots] = { makeTable<0>(), makeTable<1>(), makeTable<2>(), makeTable<3>(),
    makeTable<4>(), makeTable<5>(), makeTable<6>(), makeTable<7>() };

} // namespace

RadioEmulator::RadioEmulator()
{
    setImage(blankImage());
    setGpsLog(generatedGpsLog());
}

RadioEmulator::~RadioEmulator()
{
    std::lock_guard<std::mutex> slotLock(g_slotMutex);
    if (m_slot >= 0)
        g_slots[m_slot] = nullptr;
}

const LibusbApi *RadioEmulator::libusbApi()
{
    std::lock_guard<std::mutex> slotLock(g_slotMutex);
    if (m_slot < 0) {
        for (int i = 0; i < kSlots; ++i) {
            if (!g_slots[i]) {
                g_slots[i] = this;
                m_slot = i;
                break;
            }
        }
    }
    return m_slot >= 0 ? &g_tables[m_slot] : nullptr;
}

// --- Memory -----------------------------------------------------------------

QVariantList RadioEmulator::blankImage(bool kr4700, quint8 bandCode)
{
    QVariantList image;
    image.append(makeIdentity(0x04, kr4700, bandCode));
    QByteArray content(ContentLength, '\0');
    for (int n = 0; n < ImageBlocks; ++n) {
        content.fill('\0');
        if (n == 0 && kr4700)
            setText(content, 0, 6, "KR4700");
        if (n == 4) {
            // Identity texts: model name, serial number, hardware version.
            setText(content, 0, 16, kr4700 ? "KR4700" : "KR4500");
            setText(content, 48, 16, "EMU0000001");
            setText(content, 64, 8, "V1.0");
        }
        image.append(makeBlock(0x10, n, content.constData()));
    }
    return image;
}

bool RadioEmulator::setImage(const QVariantList &image)
{
    if (image.size() != 1 + ImageBlocks)
        return false;
    const QByteArray identity = image.at(0).toByteArray();
    if (identity.size() != IdentityLength)
        return false;
    QVector<QByteArray> blocks;
    blocks.reserve(ImageBlocks);
    for (int n = 0; n < ImageBlocks; ++n) {
        const QByteArray b = image.at(1 + n).toByteArray();
        if (b.size() != BlockLength)
            return false;
        blocks.append(b);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_identity = identity;
    m_blocks = blocks;
    return true;
}

QVariantList RadioEmulator::image() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QVariantList list;
    list.reserve(1 + ImageBlocks);
    list.append(m_identity);
    for (const QByteArray &b : m_blocks)
        list.append(b);
    return list;
}

QByteArray RadioEmulator::blockContent(int block) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (block < 0 || block >= ImageBlocks)
        return QByteArray();
    return m_blocks.at(block).mid(12, ContentLength);
}

bool RadioEmulator::loadFile(const QString &path)
{
    QVariantList list;
    return VariantFile::read(path, VariantFile::Kind::Image, &list) && setImage(list);
}

bool RadioEmulator::saveFile(const QString &path) const { return writeImageFile(path, image()); }

// Written to a temporary file and renamed over the target: a failed save
// never destroys the previous memory file.
bool RadioEmulator::writeImageFile(const QString &path, const QVariantList &list)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out << list;
    if (out.status() != QDataStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool RadioEmulator::setMemoryFile(const QString &path)
{
    // A file that exists but cannot be read is left alone, not overwritten.
    const bool ok = QFile::exists(path) ? loadFile(path) : saveFile(path);
    if (!ok)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_memoryFile = path;
    m_dirty = false;
    return true;
}

QString RadioEmulator::memoryFile() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_memoryFile;
}

// Called with the lock held.
void RadioEmulator::saveIfDirty()
{
    if (!m_dirty || m_memoryFile.isEmpty())
        return;
    m_dirty = false;
    QVariantList list;
    list.append(m_identity);
    for (const QByteArray &b : m_blocks)
        list.append(b);
    if (!writeImageFile(m_memoryFile, list))
        violation(QStringLiteral("memory file not written: %1").arg(m_memoryFile));
}

QVariantList RadioEmulator::generatedGpsLog(int points)
{
    QVector<QByteArray> contents(GpsBlocks, QByteArray(ContentLength, char(0xFF)));
    // A walk through a city at about 5 m/s, one record every 10 s.
    const QDateTime start(QDate(2019, 11, 25), QTime(12, 0, 0), Qt::UTC);
    double lat = 55.7512, lng = 37.6184;
    int block = 0, slot = 0;
    for (int i = 0; i < points && block < GpsBlocks; ++i) {
        const double heading = 0.6 + 0.9 * std::sin(i / 40.0);
        lat += 0.00045 * std::cos(heading);
        lng += 0.00080 * std::sin(heading);
        putRecord(contents[block].data() + 16 * slot, lat, lng, start.addSecs(10 * i));
        // Slot 0 of every block after the first stays erased.
        if (++slot == ContentLength / 16) {
            ++block;
            slot = 1;
        }
    }
    QVariantList log;
    for (int n = 0; n < GpsBlocks; ++n)
        log.append(makeBlock(0x1B, n, contents[n].constData()));
    return log;
}

bool RadioEmulator::setGpsLog(const QVariantList &answers)
{
    if (answers.size() > GpsBlocks)
        return false;
    QVector<QByteArray> gps;
    const QByteArray erased(ContentLength, char(0xFF));
    for (int n = 0; n < GpsBlocks; ++n)
        gps.append(n < answers.size() ? answers.at(n).toByteArray()
                                      : makeBlock(0x1B, n, erased.constData()));
    std::lock_guard<std::mutex> lock(m_mutex);
    m_gps = gps;
    return true;
}

QVariantList RadioEmulator::gpsLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QVariantList list;
    for (const QByteArray &b : m_gps)
        list.append(b);
    return list;
}

// --- Identity and model ----------------------------------------------------------

void RadioEmulator::setBandCode(quint8 code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_identity[94] = char(code);
    sealFrame(m_identity);
}

quint8 RadioEmulator::bandCode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return quint8(m_identity.at(94));
}

void RadioEmulator::setSecondBandCode(quint8 code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_secondBand = code;
}

void RadioEmulator::setKr4700(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_identity[95] = char(on ? 1 : 0);
    sealFrame(m_identity);
    QByteArray &block = m_blocks[0];
    const int at = block.indexOf("KR4700");
    if (on && at < 0)
        setText(block, 12, 6, "KR4700");
    else if (!on && at >= 0)
        setText(block, at, 6, QByteArray());
    resealBlock(block);
}

bool RadioEmulator::isKr4700() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_identity.at(95) != 0 && m_blocks[0].indexOf("KR4700") >= 0;
}

// --- Connection ------------------------------------------------------------------

void RadioEmulator::plug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_present = true;
}

void RadioEmulator::unplug()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_present = false;
    m_claimed = false;
    m_session = Session::None;
    m_state = State::Command;
}

bool RadioEmulator::isPresent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_present;
}

void RadioEmulator::setOpenDenied(bool denied)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openDenied = denied;
}

void RadioEmulator::setInterfaceBusy(bool busy)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_busy = busy;
}

void RadioEmulator::setKernelDriverQueryResult(int code)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_driverQuery = code;
}

void RadioEmulator::unplugAfterTransfers(int transfers)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unplugAfter = transfers;
}

void RadioEmulator::setLatencyMicroseconds(int us)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_latencyUs = us > 0 ? us : 0;
}

void RadioEmulator::injectFault(Fault fault, int count, int after)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (fault < 0 || fault >= FaultCount)
        return;
    m_plans[fault].count = count;
    m_plans[fault].skip = after;
}

void RadioEmulator::setSenseData(quint8 key, quint8 asc, quint8 ascq)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faultSense[0] = key;
    m_faultSense[1] = asc;
    m_faultSense[2] = ascq;
}

void RadioEmulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Plan &p : m_plans)
        p = Plan();
    m_unplugAfter = -1;
    m_busy = false;
}

bool RadioEmulator::take(Fault fault)
{
    Plan &p = m_plans[fault];
    if (p.count <= 0)
        return false;
    if (p.skip > 0) {
        --p.skip;
        return false;
    }
    --p.count;
    return true;
}

// --- Observation -----------------------------------------------------------------

QStringList RadioEmulator::protocolErrors() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
}

void RadioEmulator::clearProtocolErrors()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_errors.clear();
}

void RadioEmulator::violation(const QString &text) { m_errors.append(text); }

void RadioEmulator::setJournalEnabled(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_journalOn = on;
}

QList<RadioEmulator::Transfer> RadioEmulator::journal() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_journal;
}

void RadioEmulator::clearJournal()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_journal.clear();
}

bool RadioEmulator::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_open;
}

bool RadioEmulator::isClaimed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_claimed;
}

int RadioEmulator::contextUses() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_contextUses;
}

int RadioEmulator::detachCalls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_detachCalls;
}

int RadioEmulator::blocksWritten() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blocksWritten;
}

void RadioEmulator::record(Transfer::Kind kind, quint8 ep, const unsigned char *data, int len,
    int result, unsigned int timeout)
{
    if (!m_journalOn)
        return;
    m_journal.append({ kind, ep,
        data && len > 0 ? QByteArray(reinterpret_cast<const char *>(data), len) : QByteArray(),
        result, timeout });
}

// --- USB level -------------------------------------------------------------------

void RadioEmulator::contextInit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_contextUses;
}

void RadioEmulator::contextExit()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_contextUses;
}

int RadioEmulator::open()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (m_openDenied)
        return LIBUSB_ERROR_ACCESS;
    m_open = true;
    return 0;
}

void RadioEmulator::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_claimed = false;
    m_session = Session::None;
    m_open = false;
    saveIfDirty();
}

int RadioEmulator::setConfiguration(int configuration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (configuration != 1 && configuration != 0 && configuration != -1)
        return LIBUSB_ERROR_NOT_FOUND;
    m_configuration = configuration;
    return 0;
}

int RadioEmulator::kernelDriverActive(int interface)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (interface != 0)
        return LIBUSB_ERROR_NOT_FOUND;
    return m_driverQuery;
}

int RadioEmulator::detachKernelDriver(int interface)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_detachCalls;
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (interface != 0)
        return LIBUSB_ERROR_NOT_FOUND;
    return m_driverQuery < 0 ? m_driverQuery : (m_driverQuery ? 0 : LIBUSB_ERROR_NOT_FOUND);
}

int RadioEmulator::claimInterface(int interface)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (interface != 0)
        return LIBUSB_ERROR_NOT_FOUND;
    if (m_busy)
        return LIBUSB_ERROR_BUSY;
    if (m_configuration != 1)
        violation(QStringLiteral("interface claimed without configuration 1"));
    m_claimed = true;
    m_session = Session::None;
    m_state = State::Command;
    m_hasAnswer = false;
    return 0;
}

int RadioEmulator::releaseInterface(int interface)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_present)
        return LIBUSB_ERROR_NO_DEVICE;
    if (interface != 0 || !m_claimed)
        return LIBUSB_ERROR_NOT_FOUND;
    m_claimed = false;
    m_session = Session::None;
    saveIfDirty();
    return 0;
}

int RadioEmulator::clearHalt(quint8 endpoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int result = 0;
    if (!m_present)
        result = LIBUSB_ERROR_NO_DEVICE;
    else if (endpoint == kOut)
        m_halted[0] = false;
    else if (endpoint == kIn)
        m_halted[1] = false;
    else
        result = LIBUSB_ERROR_NOT_FOUND;
    record(Transfer::ClearHalt, endpoint, nullptr, 0, result, 0);
    return result;
}

void RadioEmulator::latency() const
{
    int us;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        us = m_latencyUs;
    }
    if (us <= 0)
        return;
    // The transfer takes the given time to the microsecond: a plain sleep
    // overshoots by the scheduler's slack (often 50-100 us), which would make
    // the latency model itself the largest cost in a benchmark. Sleep most of
    // the way, then wait out the rest.
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::microseconds(us);
    const auto slack = std::chrono::microseconds(200);
    if (us > 200)
        std::this_thread::sleep_until(deadline - slack);
    while (Clock::now() < deadline)
        std::this_thread::yield();
}

bool RadioEmulator::beginTransfer(int *result)
{
    if (m_present && m_unplugAfter == 0) {
        m_unplugAfter = -1;
        m_present = false;
        m_claimed = false;
        m_session = Session::None;
        m_state = State::Command;
    }
    if (!m_present) {
        *result = LIBUSB_ERROR_NO_DEVICE;
        return false;
    }
    if (m_unplugAfter > 0)
        --m_unplugAfter;
    if (!m_claimed)
        violation(QStringLiteral("bulk transfer without a claimed interface"));
    return true;
}

int RadioEmulator::bulkOut(
    quint8 endpoint, const unsigned char *data, int length, int *actual, unsigned int timeout)
{
    latency();
    std::lock_guard<std::mutex> lock(m_mutex);
    int result = 0;
    int taken = 0;
    if (endpoint != kOut) {
        result = LIBUSB_ERROR_NOT_FOUND;
    } else if (!beginTransfer(&result)) {
    } else if (m_halted[0]) {
        result = LIBUSB_ERROR_PIPE;
    } else if (m_state == State::DataOut) {
        if (take(StallData)) {
            m_halted[0] = true;
            m_state = State::Command;
            result = LIBUSB_ERROR_PIPE;
        } else if (take(TimeoutData)) {
            m_state = State::Command;
            result = LIBUSB_ERROR_TIMEOUT;
        } else {
            const int room = int(m_dataLength) - m_dataOut.size();
            taken = qMin(length, room);
            if (length > room)
                violation(QStringLiteral("data phase longer than announced (%1 > %2)")
                              .arg(length)
                              .arg(room));
            m_dataOut.append(reinterpret_cast<const char *>(data), taken);
            if (m_dataOut.size() >= int(m_dataLength)) {
                m_residue = 0;
                if (m_commandFailed) {
                    m_state = State::Status;
                } else if (m_opcode == 0xFF && m_vendorOp == 0x2A) {
                    m_status = 0;
                    m_state = State::Status;
                    handleFrame(m_dataOut);
                } else {
                    m_state = State::Status;
                }
            }
        }
    } else {
        // A command wrapper. A wrapper arriving while data or status is still
        // due abandons that command, as after a host-side timeout.
        if (take(StallCommand)) {
            m_halted[0] = true;
            result = LIBUSB_ERROR_PIPE;
        } else if (take(TimeoutCommand)) {
            result = LIBUSB_ERROR_TIMEOUT;
        } else {
            taken = length;
            acceptWrapper(data, length);
        }
    }
    if (actual)
        *actual = result == 0 ? taken : 0;
    record(Transfer::Out, endpoint, data, length, result, timeout);
    return result;
}

int RadioEmulator::bulkIn(
    quint8 endpoint, unsigned char *data, int length, int *actual, unsigned int timeout)
{
    latency();
    std::lock_guard<std::mutex> lock(m_mutex);
    int result = 0;
    int given = 0;
    if (endpoint != kIn) {
        result = LIBUSB_ERROR_NOT_FOUND;
    } else if (!beginTransfer(&result)) {
    } else if (m_halted[1]) {
        result = LIBUSB_ERROR_PIPE;
    } else if (m_state == State::DataIn) {
        if (take(StallData)) {
            m_halted[1] = true;
            m_state = State::Command;
            result = LIBUSB_ERROR_PIPE;
        } else if (take(TimeoutData)) {
            m_state = State::Command;
            result = LIBUSB_ERROR_TIMEOUT;
        } else {
            given = qMin(length, m_dataIn.size());
            std::memcpy(data, m_dataIn.constData(), size_t(given));
            m_dataIn.remove(0, given);
            m_residue -= quint32(given);
            // A short packet (or the last one) ends the data phase.
            if (m_dataIn.isEmpty() || given < length)
                m_state = State::Status;
        }
    } else if (m_state == State::Status) {
        if (take(StallStatus)) {
            m_halted[1] = true;
            result = LIBUSB_ERROR_PIPE;
        } else if (take(TimeoutStatus)) {
            result = LIBUSB_ERROR_TIMEOUT;
        } else {
            if (length != kStatusLength)
                violation(QStringLiteral("status wrapper read with %1 bytes").arg(length));
            const bool wrong = take(WrongTag);
            const QByteArray csw = statusWrapper(wrong ? m_tag + 0x10000u : m_tag, m_status);
            given = qMin(length, kStatusLength);
            std::memcpy(data, csw.constData(), size_t(given));
            if (!wrong)
                m_state = State::Command;
        }
    } else {
        // Nothing to send: the radio NAKs until the host gives up.
        result = LIBUSB_ERROR_TIMEOUT;
    }
    if (actual)
        *actual = result == 0 ? given : 0;
    record(Transfer::In, endpoint, data, result == 0 ? given : 0, result, timeout);
    return result;
}

QByteArray RadioEmulator::statusWrapper(quint32 tag, quint8 status) const
{
    QByteArray csw(kStatusLength, '\0');
    csw[0] = 'U';
    csw[1] = 'S';
    csw[2] = 'B';
    csw[3] = 'S';
    for (int i = 0; i < 4; ++i) {
        csw[4 + i] = char(tag >> (8 * i));
        csw[8 + i] = char(m_residue >> (8 * i));
    }
    csw[12] = char(status);
    return csw;
}

void RadioEmulator::fail(quint8 key, quint8 asc, quint8 ascq)
{
    m_status = 1;
    m_sense[0] = key;
    m_sense[1] = asc;
    m_sense[2] = ascq;
}

void RadioEmulator::acceptWrapper(const unsigned char *d, int length)
{
    if (length != kWrapperLength || le32(d) != 0x43425355u) {
        // Not a valid wrapper: the radio stalls both pipes until cleared.
        violation(QStringLiteral("invalid command wrapper (%1 bytes)").arg(length));
        m_halted[0] = m_halted[1] = true;
        m_state = State::Command;
        return;
    }
    const quint8 flags = d[12];
    const quint8 lun = d[13];
    const quint8 cbLength = d[14];
    const unsigned char *cdb = d + 15;
    m_tag = le32(d + 4);
    m_dataLength = le32(d + 8);
    m_opcode = cdb[0];
    m_vendorOp = cdb[1];
    m_status = 0;
    m_residue = m_dataLength;
    m_dataOut.clear();
    m_dataIn.clear();
    m_commandFailed = false;
    const bool in = flags & 0x80;
    if ((flags & 0x7F) != 0)
        violation(QStringLiteral("reserved wrapper flag bits set (%1)").arg(flags));
    if (lun != 0)
        violation(QStringLiteral("command for logical unit %1").arg(lun));
    if (cbLength < 1 || cbLength > 16)
        violation(QStringLiteral("command block length %1").arg(cbLength));
    for (int i = qBound(1, int(cbLength), 16); i < 16; ++i)
        if (cdb[i] != 0) {
            violation(QStringLiteral("bytes past the command block length"));
            break;
        }

    // A new frame replaces whatever answer was still waiting, even if it fails.
    if (m_opcode == 0xFF && m_vendorOp == 0x2A)
        m_hasAnswer = false;

    const quint8 prevSense[3] = { m_sense[0], m_sense[1], m_sense[2] };
    if (m_opcode != 0x03) {
        m_sense[0] = m_sense[1] = m_sense[2] = 0;
        if (take(Status1)) {
            m_commandFailed = true;
            fail(m_faultSense[0], m_faultSense[1], m_faultSense[2]);
        } else if (take(Status2)) {
            m_commandFailed = true;
            m_status = 2;
        }
    }

    if (!m_commandFailed) {
        if (m_opcode == 0x03) { // REQUEST SENSE
            if (!in || cbLength != 6 || m_dataLength < kSenseLength || cdb[4] != kSenseLength)
                violation(QStringLiteral("malformed REQUEST SENSE"));
            QByteArray sense(kSenseLength, '\0');
            sense[0] = 0x70;
            sense[2] = char(prevSense[0]);
            sense[7] = 10;
            sense[12] = char(prevSense[1]);
            sense[13] = char(prevSense[2]);
            m_dataIn = sense.left(int(qMin<quint32>(m_dataLength, kSenseLength)));
            m_sense[0] = m_sense[1] = m_sense[2] = 0;
        } else if (m_opcode == 0x00) { // TEST UNIT READY
        } else if (m_opcode == 0xFF) {
            const bool shape = cbLength == 16 && cdb[14] == 0x47 && cdb[15] == 0x50
                && std::all_of(cdb + 2, cdb + 14, [](unsigned char c) { return c == 0; });
            if (!shape) {
                violation(QStringLiteral("malformed vendor command block"));
                fail(kIllegalRequest, kInvalidFieldInCdb, 0);
            } else if (m_vendorOp == 0x2A) {
                if (in || m_dataLength == 0) {
                    violation(QStringLiteral("frame command without an outgoing frame"));
                    m_status = 2;
                }
            } else if (m_vendorOp == 0x28) {
                if (!in || m_dataLength == 0) {
                    violation(QStringLiteral("answer command without an incoming data phase"));
                    m_status = 2;
                } else if (!m_hasAnswer) {
                    violation(QStringLiteral("answer asked with none pending"));
                    fail(kIllegalRequest, kSequenceError, 0);
                } else {
                    if (int(m_dataLength) != m_answer.size())
                        violation(QStringLiteral("answer of %1 bytes asked as %2")
                                      .arg(m_answer.size())
                                      .arg(m_dataLength));
                    m_dataIn = m_answer.left(int(m_dataLength));
                    if (take(ShortAnswer))
                        m_dataIn.truncate(m_dataIn.size() / 2);
                }
                m_hasAnswer = false;
            } else {
                fail(kIllegalRequest, kInvalidFieldInCdb, 0);
            }
        } else {
            fail(kIllegalRequest, kInvalidOpcode, 0);
        }
        if (m_status != 0)
            m_commandFailed = true;
    }

    if (m_dataLength == 0)
        m_state = State::Status;
    else
        m_state = in ? State::DataIn : State::DataOut;
}

void RadioEmulator::handleFrame(const QByteArray &f)
{
    auto reject = [this](const QString &why) {
        violation(why);
        fail(kIllegalRequest, kInvalidFieldInParameters, 0);
        m_hasAnswer = false;
    };
    const auto *p = reinterpret_cast<const unsigned char *>(f.constData());
    if (f.size() < 8 || p[0] != 0xA1 || p[1] != 0x00)
        return reject(QStringLiteral("frame without start bytes"));
    const int n = p[3] << 8 | p[4];
    if (f.size() != n + 8)
        return reject(
            QStringLiteral("frame of %1 bytes announces %2 payload bytes").arg(f.size()).arg(n));
    if ((p[5 + n] << 8 | p[6 + n]) != payloadSum(f, 5, 5 + n))
        return reject(QStringLiteral("frame checksum wrong"));
    if (p[7 + n] != 0xA4)
        return reject(QStringLiteral("frame end byte %1").arg(p[7 + n]));

    const quint8 code = p[2];
    m_hasAnswer = false;
    auto answer = [this](const QByteArray &a) {
        m_answer = a;
        m_hasAnswer = true;
    };
    auto blockNumber = [&](int limit) {
        if (n != 4 || p[7] != 0x08 || p[8] != 0x00)
            return -1;
        const int b = p[5] << 8 | p[6];
        return b < limit ? b : -1;
    };
    switch (code) {
    case 0x04:
        if (n != 0)
            return reject(QStringLiteral("identity query with payload"));
        return answer(m_identity);
    case 0x03: {
        if (n != 0)
            return reject(QStringLiteral("identity query with payload"));
        QByteArray id = m_identity;
        id[2] = 0x03;
        id[94] = char(m_secondBand);
        sealFrame(id);
        return answer(id);
    }
    case 0x15:
    case 0x14:
        if (n != 0)
            return reject(QStringLiteral("opening command with payload"));
        m_session = code == 0x15 ? Session::Read : Session::Write;
        return answer(shortAnswer(code, 0x01));
    case 0x10: {
        const int b = blockNumber(ImageBlocks);
        if (b < 0)
            return reject(QStringLiteral("block read request malformed"));
        if (m_session != Session::Read) {
            violation(QStringLiteral("block read without opening the read"));
            return fail(kIllegalRequest, kSequenceError, 0);
        }
        return answer(m_blocks.at(b));
    }
    case 0x1B: {
        const int b = blockNumber(GpsBlocks);
        if (b < 0)
            return reject(QStringLiteral("GPS block request malformed"));
        return answer(m_gps.at(b));
    }
    case 0x11: {
        static const unsigned char fixed[6] = { 0x00, 0x05, 0x80, 0x00, 0x08, 0x00 };
        if (n != 2056 || std::memcmp(p + 7, fixed, 6) != 0)
            return reject(QStringLiteral("block write frame malformed"));
        const int b = p[5] << 8 | p[6];
        if (b >= ImageBlocks)
            return reject(QStringLiteral("block write for block %1").arg(b));
        if (m_session != Session::Write) {
            violation(QStringLiteral("block write without opening the write"));
            return fail(kIllegalRequest, kSequenceError, 0);
        }
        if (!take(IgnoreWrite))
            storeWrite(b, f);
        return;
    }
    default:
        return reject(QStringLiteral("unknown frame command %1").arg(code));
    }
}

void RadioEmulator::storeWrite(int block, const QByteArray &frame)
{
    QByteArray &b = m_blocks[block];
    std::memcpy(b.data() + 12, frame.constData() + 13, ContentLength);
    resealBlock(b);
    ++m_blocksWritten;
    m_dirty = true;
    if (block == ImageBlocks - 1)
        saveIfDirty();
}
