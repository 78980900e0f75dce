#pragma once

#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include <QHash>
#include <QString>
#include <QTextBlock>
#include <QTextFrame>

#include "core/rtf/Document.h"

class QTextDocument;
class QTextFragment;
class QTextTable;

namespace quillory::richedit::detail {

// Reads a page back from a document that PageBuilder built and the user edited: tables, lists,
// anchors, images, hidden text and notes become the page's again; the empty blocks Qt keeps
// around tables and frames are left out.
class PageReader {
public:
    // `origin` holds the notes and images that the documents read refer to; null: each document
    // holds its own.
    explicit PageReader(const QTextDocument* origin);
    PageReader(const PageReader&) = delete;
    PageReader& operator=(const PageReader&) = delete;

    // The whole document.
    [[nodiscard]] rtf::Document read(const QTextDocument& document);
    // The blocks of `document` that [from, to) touches, each cut to that range; for a range that
    // holds no table or frame.
    [[nodiscard]] rtf::Document readRange(const QTextDocument& document, int from, int to);

private:
    enum class Context { Page, Cell, Notes };
    struct Item {
        QTextBlock block;
        QTextFrame* frame = nullptr;
    };

    static std::vector<Item> itemsOf(QTextFrame::iterator it);
    void findNotes(const QTextDocument& document);
    void items(const std::vector<Item>& all, std::vector<rtf::Paragraph>& out, int depth, Context context);
    void table(QTextTable* table, std::vector<rtf::Paragraph>& out, int depth);
    std::uint32_t noteFor(int number);
    [[nodiscard]] rtf::Paragraph paragraph(const QTextBlock& block, int from, int to, int depth, Context context);
    void list(const QTextBlock& block, rtf::Paragraph& p);
    [[nodiscard]] const rtf::CharFormat& formatOf(const QTextFragment& fragment);
    [[nodiscard]] rtf::Document finish();

    const QTextDocument* m_origin;
    const QTextDocument* m_document = nullptr; // the one being read
    rtf::Document m_page;
    std::unordered_map<int, rtf::CharFormat> m_formats; // by Qt's format index
    QHash<QString, std::uint32_t> m_links;
    QHash<int, std::uint16_t> m_lists;            // by list id
    std::map<int, std::vector<Item>> m_noteItems; // the notes frame's content, by note number
    std::map<int, bool> m_endnotes;
    std::unordered_map<int, std::uint32_t> m_notes; // note number: index in the page, 1-based
};

} // namespace quillory::richedit::detail
