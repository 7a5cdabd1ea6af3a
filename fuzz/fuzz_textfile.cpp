// The text-file reader and its number reader on any bytes, driven by the input's first
// byte; parseInteger checked against a plain decimal reading.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/errors.h"
#include "platform/textfile.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    uint8_t plan = data[0];
    std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    auto reader = platform::TextFileReader::fromBytes(bytes);
    size_t consumed = 0;
    for (int step = 0; step < 64 && !reader.eof(); ++step) {
        switch ((plan >> (step % 4 * 2)) & 3) {
        case 0:
            consumed += reader.readLine().size();
            break;
        case 1:
        case 2:
            try {
                reader.readInteger();
            } catch (const platform::InvalidNumericInput&) {
                reader.skipLine();
            }
            break;
        default:
            reader.skipLine();
            break;
        }
    }
    check(consumed <= bytes.size());
    if (reader.eof()) check(reader.readLine().empty() && reader.readInteger() == 0);

    int32_t value = 0;
    std::string_view text(bytes.data(), std::min<size_t>(bytes.size(), 40));
    if (platform::parseInteger(text, value)) {
        bool decimal = !text.empty();
        for (char c : text)
            decimal = decimal && c >= '0' && c <= '9';
        if (decimal)
            check(std::to_string(value) ==
                  text.substr(text.find_first_not_of('0') == std::string_view::npos
                                  ? text.size() - 1
                                  : text.find_first_not_of('0')));
    }
    return 0;
}
