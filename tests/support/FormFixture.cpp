#include "support/FormFixture.h"

#include "core/store/OrderStamp.h"

namespace quillory::test {

fs::path FormFixture::makeProject(const std::string& name, const std::vector<std::string>& itemsInOrder,
                                  const fs::path& parent)
{
    const fs::path folder = (parent.empty() ? home.path() : parent) / name;
    fs::create_directories(folder);
    for (std::size_t i = 0; i < itemsInOrder.size(); ++i) {
        writeFile(folder / itemsInOrder[i], "page " + itemsInOrder[i]);
        fs::last_write_time(folder / itemsInOrder[i], store::OrderStamp(i));
    }
    return folder;
}

} // namespace quillory::test
