// The settings reader: any text gives a folder without failing, and every folder name (double
// quotes, commas and line ends included) survives writing and reading back.
#include "fuzz/fuzz_check.h"
#include "io/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = kvr::fuzz::AsText(data, size);
    const std::string read = kvr::SettingsFolder(text);
    FUZZ_CHECK(read.size() <= text.size());

    // A folder name holds any byte but NUL.
    std::string folder(text);
    std::erase(folder, '\0');
    FUZZ_CHECK(kvr::SettingsFolder(kvr::FormatSettings(folder)) == folder);
    return 0;
}
