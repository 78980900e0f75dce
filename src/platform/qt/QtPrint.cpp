#include "platform/qt/QtDesktop.h"

#include "platform/QtText.h"

#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTextDocument>

#include <optional>
#include <thread>

#include <cups/cups.h>

namespace quillory {

namespace {

struct Destination {
    QString name;
    QPageSize pageSize;
};

// Asks CUPS for the default printer; blocks while the print server does not answer.
std::optional<Destination> defaultDestination()
{
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull())
        return std::nullopt;
    return Destination{target.printerName(), target.defaultPageSize()};
}

// Hands the PDF to CUPS, which answers once it has queued the job or refused it; then removes it.
PrintResult sendToCups(const Destination& destination, const QString& pdf, const std::u16string& title)
{
    const QByteArray name = destination.name.toLocal8Bit();
    const QByteArray file = QFile::encodeName(pdf);
    const QByteArray jobTitle = toQ(title).toUtf8();
    const bool taken = cupsPrintFile(name.constData(), file.constData(), jobTitle.constData(), 0, nullptr) != 0;
    const QString why = taken ? QString() : QString::fromUtf8(cupsLastErrorString());
    QFile::remove(pdf);
    if (!taken)
        return {false, u"The printer " + fromQ(destination.name) + u" did not take the page: " + fromQ(why)};
    return {true, {}};
}

// The page laid out for the destination as a PDF; the file's name, or the reason it failed.
std::optional<QString> layOut(const QTextDocument& document, const Destination& destination,
                              const std::u16string& title, std::u16string& why)
{
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/quillory-print-XXXXXX.pdf"));
    if (!pdf.open()) {
        why = u"The page could not be prepared for printing: " + fromQ(pdf.errorString());
        return std::nullopt;
    }
    pdf.setAutoRemove(false);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf.fileName());
    printer.setPageSize(destination.pageSize);
    printer.setDocName(toQ(title));
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        QFile::remove(pdf.fileName());
        why = u"The page could not be prepared for printing.";
        return std::nullopt;
    }
    return pdf.fileName();
}

} // namespace

// Qt's own CUPS path drops the print system's answer, so a refused job would look printed: the page
// is laid out into a PDF and handed over with the answer checked. Both talks with CUPS happen on a
// thread of their own, so a print server that does not answer never holds the window; the layout
// happens on the window's thread, which owns the document, before this returns.
void QtDesktop::printDocument(const QTextDocument& document, const std::u16string& title,
                              std::function<void(const PrintResult&)> done)
{
    auto answer = [context = &m_printAnswers, done = std::move(done)](PrintResult result) mutable {
        QMetaObject::invokeMethod(
            context, [done = std::move(done), result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    };
    // The page as it stands when the user prints, though it may change before the print server
    // names the page size; it stays on this thread, a child of the answers' context.
    QPointer<QTextDocument> page = document.clone(&m_printAnswers);
    std::thread([context = &m_printAnswers, page, title, answer = std::move(answer)]() mutable {
        const std::optional<Destination> destination = defaultDestination();
        if (!destination) {
            QMetaObject::invokeMethod(context, [page] { delete page.data(); }, Qt::QueuedConnection);
            answer({false, u"There is no default printer. Set up a printer and make it the default in the system's "
                           u"printer settings, then print again."});
            return;
        }
        // Back on the window's thread to lay the page out, then off it again for CUPS.
        QMetaObject::invokeMethod(
            context,
            [page, destination = *destination, title, answer = std::move(answer)]() mutable {
                if (page == nullptr)
                    return;
                std::u16string why;
                const std::optional<QString> pdf = layOut(*page, destination, title, why);
                delete page.data();
                if (!pdf) {
                    answer({false, why});
                    return;
                }
                std::thread([destination, file = *pdf, title, answer = std::move(answer)]() mutable {
                    answer(sendToCups(destination, file, title));
                }).detach();
            },
            Qt::QueuedConnection);
    }).detach();
}

} // namespace quillory
