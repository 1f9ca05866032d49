#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

#include <mutex>

#include "usb/libusbapi.h"

// An emulated radio: the USB mass-storage function (Bulk-Only Transport),
// the radio's framed vendor commands, its configuration memory and GPS log.
// It knows nothing of how it is reached; the in-process libusb table
// (libusbApi()) and the umockdev adapter (umockdevradio.h) drive it through
// the USB-level calls below. All members are safe to call from any thread.
class RadioEmulator {
public:
    static constexpr quint16 VendorId = 0x0483;
    static constexpr quint16 ProductId = 0x5720;
    static constexpr int IdentityLength = 265;
    static constexpr int BlockLength = 2063;
    static constexpr int ContentLength = 2048;
    static constexpr int ImageBlocks = 177;
    static constexpr int GpsBlocks = 247;

    // Faults that can be injected. Each is armed with a count and a number of
    // occurrences to let pass first (see injectFault).
    enum Fault {
        StallCommand, // a command wrapper transfer stalls the OUT endpoint
        StallData, // a data phase transfer stalls its endpoint; the command is abandoned
        StallStatus, // a status wrapper read stalls the IN endpoint
        TimeoutCommand, // a command wrapper transfer is not taken (NAK until timeout)
        TimeoutData, // a data phase transfer is not served; the command is abandoned
        TimeoutStatus, // a status wrapper read is not served; the wrapper stays pending
        WrongTag, // an extra status wrapper with a wrong tag comes before the right one
        Status1, // a command (not REQUEST SENSE) fails with status 1 and sense data
        Status2, // a command (not REQUEST SENSE) ends with status 2 (phase error)
        ShortAnswer, // an answer fetch returns only half of the answer, status 0
        IgnoreWrite, // a block write is acknowledged but not stored
        FaultCount
    };

    // One bulk transfer or halt clearing as the radio saw it.
    struct Transfer {
        enum Kind { Out, In, ClearHalt } kind;
        quint8 endpoint;
        QByteArray data; // bytes received (Out) or sent (In)
        int result; // libusb code
        unsigned int timeout; // as given to the in-process table; 0 under umockdev
    };

    RadioEmulator();
    ~RadioEmulator();
    RadioEmulator(const RadioEmulator &) = delete;
    RadioEmulator &operator=(const RadioEmulator &) = delete;

    // --- Memory -----------------------------------------------------------
    // Image list in the configuration-file format: element 0 the 265-byte
    // identity answer, elements 1..177 blocks 0..176 of 2063 bytes, kept as
    // given. setImage refuses (false, memory unchanged) a list of another shape.
    bool setImage(const QVariantList &image);
    QVariantList image() const;
    bool loadFile(const QString &path);
    bool saveFile(const QString &path) const;
    // Keeps the memory in this file: loaded now when it exists (else written
    // now), rewritten after every completed write sequence (the write of the
    // last block, or the end of the connection after any block write). False,
    // and no file bound, when an existing file cannot be loaded.
    bool setMemoryFile(const QString &path);
    QString memoryFile() const;
    // A blank memory: identity, blocks with proper heads, zero content, the
    // model name in block 4 (and "KR4700" in block 0 for that model).
    static QVariantList blankImage(bool kr4700 = false, quint8 bandCode = 0);
    QByteArray blockContent(int block) const; // 2048 content bytes

    // GPS log: 247 raw 2063-byte answers; missing entries are erased blocks.
    bool setGpsLog(const QVariantList &answers);
    QVariantList gpsLog() const;
    // The default log: a track of `points` records, 10 s apart.
    static QVariantList generatedGpsLog(int points = 300);

    // --- Identity and model ---------------------------------------------------
    void setBandCode(quint8 code); // identity byte 94 (0xFF: ask the 0x03 query)
    quint8 bandCode() const;
    void setSecondBandCode(quint8 code); // byte 94 of the 0x03 answer
    void setKr4700(bool on); // "KR4700" in block 0 and model flag (byte 95)
    bool isKr4700() const;

    // --- Connection -------------------------------------------------------------
    void plug();
    void unplug();
    bool isPresent() const;
    void setInterfaceBusy(bool busy);
    void setOpenDenied(bool denied); // open fails with LIBUSB_ERROR_ACCESS (no udev rule)
    void setKernelDriverQueryResult(int code); // 0 by default; e.g. LIBUSB_ERROR_NOT_SUPPORTED
    void unplugAfterTransfers(int transfers); // -1 disarms
    void setLatencyMicroseconds(int us); // per bulk transfer, 0 by default

    // --- Faults -----------------------------------------------------------------
    // Arms `fault` for `count` occurrences after letting `after` pass.
    void injectFault(Fault fault, int count = 1, int after = 0);
    void setSenseData(quint8 key, quint8 asc, quint8 ascq); // for Status1
    void clearFaults();

    // --- Observation --------------------------------------------------------------
    QStringList protocolErrors() const; // what the radio found wrong in what it received
    void clearProtocolErrors();
    void setJournalEnabled(bool on); // off by default
    QList<Transfer> journal() const;
    void clearJournal();
    bool isOpen() const;
    bool isClaimed() const;
    int contextUses() const; // libusb_init minus libusb_exit through the table
    int detachCalls() const;
    int blocksWritten() const; // block writes stored since construction

    // --- USB level (used by the adapters) -------------------------------------------
    int open(); // 0 or a libusb error code
    void close();
    int setConfiguration(int configuration);
    int kernelDriverActive(int interface);
    int detachKernelDriver(int interface);
    int claimInterface(int interface);
    int releaseInterface(int interface);
    int bulkOut(quint8 endpoint, const unsigned char *data, int length, int *actual,
        unsigned int timeout = 0);
    int bulkIn(
        quint8 endpoint, unsigned char *data, int length, int *actual, unsigned int timeout = 0);
    int clearHalt(quint8 endpoint);
    void contextInit();
    void contextExit();

    // The in-process libusb table bound to this radio (the device handle is
    // an opaque pointer to it). At most 8 radios can hold a table at a time.
    const LibusbApi *libusbApi();

private:
    enum class State { Command, DataOut, DataIn, Status };
    enum class Session { None, Read, Write };
    struct Plan {
        int skip = 0;
        int count = 0;
    };

    bool take(Fault fault);
    void violation(const QString &text);
    bool beginTransfer(int *result); // presence, unplug countdown
    void latency() const;
    void record(Transfer::Kind kind, quint8 ep, const unsigned char *data, int len, int result,
        unsigned int timeout);
    void acceptWrapper(const unsigned char *data, int length);
    void finishCommand(quint8 status);
    void fail(quint8 key, quint8 asc, quint8 ascq);
    void handleFrame(const QByteArray &frame);
    void storeWrite(int block, const QByteArray &frame);
    QByteArray blockAnswer(quint8 code, int block) const;
    QByteArray statusWrapper(quint32 tag, quint8 status) const;
    void saveIfDirty();
    static bool writeImageFile(const QString &path, const QVariantList &list);

    mutable std::mutex m_mutex;

    // Memory
    QByteArray m_identity;
    QVector<QByteArray> m_blocks; // 177 × 2063
    QVector<QByteArray> m_gps; // 247 raw answers
    quint8 m_secondBand = 0;
    QString m_memoryFile;
    bool m_dirty = false;
    int m_blocksWritten = 0;

    // Connection
    bool m_present = true;
    bool m_open = false;
    bool m_claimed = false;
    bool m_busy = false;
    bool m_openDenied = false;
    int m_configuration = 0;
    int m_driverQuery = 0;
    int m_contextUses = 0;
    int m_detachCalls = 0;
    int m_unplugAfter = -1;
    int m_latencyUs = 0;

    // Transport
    State m_state = State::Command;
    quint32 m_tag = 0;
    quint32 m_dataLength = 0;
    quint8 m_opcode = 0;
    quint8 m_vendorOp = 0;
    QByteArray m_dataOut;
    QByteArray m_dataIn;
    quint8 m_status = 0;
    quint32 m_residue = 0;
    bool m_halted[2] = { false, false }; // OUT, IN
    bool m_commandFailed = false; // forced by a fault: data discarded/not served
    quint8 m_sense[3] = { 0, 0, 0 };
    quint8 m_faultSense[3] = { 0x02, 0x04, 0x01 };

    // Radio frames
    Session m_session = Session::None;
    QByteArray m_answer;
    bool m_hasAnswer = false;

    Plan m_plans[FaultCount];
    QStringList m_errors;
    bool m_journalOn = false;
    QList<Transfer> m_journal;
    int m_slot = -1;
};
