#pragma once

#include <filesystem>
#include <system_error>

#include "core/store/AtomicFile.h"
#include "ui/form/ScopedFlag.h"

class QTextEdit;

namespace quillory {

// The page the editor shows and its rules: whether it is an item's page at all (a page of no item
// is read-only and never written), whether it changed since it was loaded or written (the
// document's own modified state, so an undo back to it is no change), and whether a change is the
// program's (loading, link marks, a reminder's acknowledgement) rather than the user's edit.
// Which item the page belongs to is the window's `CurrentItem`.
class PageSession {
public:
    explicit PageSession(QTextEdit& editor) noexcept : m_editor(editor) {}
    PageSession(const PageSession&) = delete;
    PageSession& operator=(const PageSession&) = delete;

    // Loads `file` as an item's page, unchanged and editable. On failure the editor and the
    // session stay as they were, and the result carries the system's reason.
    [[nodiscard]] std::error_code show(const std::filesystem::path& file);
    // An empty page of an item, unchanged and editable.
    void showEmpty();
    // No item's page: empty and read-only, for nothing typed there could be kept.
    void showNone();
    // The page shown belongs to no item any more (its project was closed); it is never written.
    void forget() noexcept { m_loaded = false; }

    [[nodiscard]] bool loaded() const noexcept { return m_loaded; }
    [[nodiscard]] bool changed() const;
    // Writes the page into `file` when it changed, or when the file is gone; a page only looked at
    // keeps its file's bytes, as the writer never reproduces another program's. Nothing for a
    // page of no item. Afterwards the page counts as unchanged.
    [[nodiscard]] std::error_code writeIfChanged(const std::filesystem::path& file, store::Flush flush);

    // Changes made while the returned guard lives are the program's, not the user's edits.
    [[nodiscard]] ScopedFlag programChange() noexcept { return ScopedFlag(m_byProgram); }
    // A change of the document now: not the load's own, and not empty.
    [[nodiscard]] bool isChange(int removed, int added) const noexcept
    {
        return !m_loading && (removed != 0 || added != 0);
    }
    [[nodiscard]] bool isUsersEdit() const noexcept { return !m_byProgram; }

private:
    // An empty editor: a page (`loaded`, writable) or none (read-only).
    void clearAs(bool loaded);

    QTextEdit& m_editor;
    bool m_loaded = false;
    bool m_loading = false;
    bool m_byProgram = false;
};

} // namespace quillory
