#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Shared by the harnesses: a quiet log, and the fuzzer's bytes read from the
// front as the choices of one run.
namespace FuzzSupport {

// Drops Qt's debug and warning output (the back end logs every transfer);
// call once from LLVMFuzzerInitialize.
void quiet();

// Stops the run with a message when a property does not hold; libFuzzer
// reports the abort as a finding with the input that caused it.
[[noreturn]] void fail(const char *what);
inline void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

class Input {
public:
    Input(const uint8_t *data, size_t size) : p(data), end(data + size) { }
    size_t left() const { return size_t(end - p); }
    bool empty() const { return p == end; }
    // The next byte, 0 once the input is used up.
    uint8_t byte() { return p == end ? 0 : *p++; }
    uint16_t u16() { return uint16_t(byte() << 8 | byte()); }
    // Up to n bytes.
    QByteArray take(size_t n)
    {
        n = n < left() ? n : left();
        QByteArray b(reinterpret_cast<const char *>(p), int(n));
        p += n;
        return b;
    }
    QByteArray rest() { return take(left()); }

private:
    const uint8_t *p;
    const uint8_t *end;
};

} // namespace FuzzSupport
