// Fuzz target: a record's head as the import names it: display text, the safety check, and the
// first free name of the import. A name that passes the check never leads out of the folder.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "core/Collections.h"
#include "core/FileNames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> head(data, data + size);
    head.resize(puzzles::layout::kListedBytes, 0);
    const std::string text = puzzles::DisplayText(head);
    if (!puzzles::IsSafeFileName(text))
        return 0;
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || std::string("\\/:<>\"|?*").find(c) != std::string::npos)
            __builtin_trap();
    // The same text taken a few times over gives a new name each time, each beginning with it.
    std::set<std::string> taken;
    for (int i = 0; i < 4; ++i) {
        const std::string name = puzzles::FirstFreeName(text, [&](const std::string& n) { return taken.count(n) > 0; });
        if (name.compare(0, text.size(), text) != 0 || !taken.insert(name).second || !puzzles::IsSafeFileName(name))
            __builtin_trap();
    }
    return 0;
}
