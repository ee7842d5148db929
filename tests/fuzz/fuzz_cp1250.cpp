// Windows-1250 both ways: bytes to text and back, text to bytes and back.
#include "common/cp1250.h"
#include "fuzz_check.h"

#include <cstring>

namespace {

bool undefinedByte(unsigned char b) {
    return b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace cyfrolia;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // Every byte is one character; every defined byte comes back as itself.
    const QString text = cp1250::decode(bytes);
    check(text.size() == bytes.size());
    bool allDefined = true;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const char16_t c = cp1250::decode(b);
        check(c == text.at(i).unicode());
        check((c == cp1250::kUndefined) == undefinedByte(b));
        if (c != cp1250::kUndefined)
            check(cp1250::encode(c) == b);
        allDefined = allDefined && c != cp1250::kUndefined;
    }
    const auto back = cp1250::encode(text);
    check(back.has_value() == allDefined);
    if (back)
        check(*back == bytes);

    // The same input as UTF-16 text: stored whole or not at all, never with a substitute.
    QString utf16(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(utf16.data(), data, size / 2 * 2); // the input need not be aligned for char16_t
    const auto encoded = cp1250::encode(utf16);
    check(encoded.has_value() == cp1250::canEncode(utf16));
    if (encoded) {
        check(encoded->size() == utf16.size());
        check(cp1250::decode(*encoded) == utf16);
    }
    return 0;
}
