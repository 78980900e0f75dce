#include "core/reminders/ReminderScanner.h"
#include "core/reminders/TagAcknowledgement.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace quillory::reminders;

// Reads the input as a stored page, then checks what must hold whatever the page.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    const auto tag = FirstArmedTagInFile(page);
    // The shortcut over pages without a tag must agree with reading the whole text.
    if (tag != FirstArmedTag(StoredPageText(page)))
        std::abort();
    if (!tag)
        return 0;
    if (tag->stamp.size() != kStampLength || tag->label.size() > kMaxLabelLength)
        std::abort();

    const std::size_t before = FindTagBraces(StoredPageText(page), tag->stamp).size();
    const auto done = AcknowledgeStoredPage(page, tag->stamp);
    if (!done)
        return 0;
    // Only braces (with their escapes) change, so no tag is ever made, and at least one goes.
    const std::size_t after = FindTagBraces(StoredPageText(*done), tag->stamp).size();
    if (after >= before || done->size() > page.size() || done->size() + 2 * before < page.size())
        std::abort();
    return 0;
}
