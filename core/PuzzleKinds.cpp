#include "core/PuzzleKinds.h"

#include "core/Text.h"

namespace puzzles {

const KindTraits& TraitsOf(PuzzleKind kind) { return kPuzzleKinds[kind == PuzzleKind::Crossword ? 0 : 1]; }

const KindTraits* KindOfExtension(std::string_view extension)
{
    for (const KindTraits& traits : kPuzzleKinds)
        if (text::EqualsNoCase(extension, traits.extension))
            return &traits;
    return nullptr;
}

const KindTraits* KindOfCollectionExtension(std::string_view extension)
{
    for (const KindTraits& traits : kPuzzleKinds)
        if (text::EqualsNoCase(extension, traits.collectionExtension))
            return &traits;
    return nullptr;
}

}  // namespace puzzles
