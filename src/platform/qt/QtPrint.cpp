#include "platform/qt/QtDesktop.h"

#include "platform/QtText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTextDocument>
#include <QThread>

#include <memory>
#include <optional>

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
// is laid out into a PDF and handed over with the answer checked. All of it runs on the job's own
// thread: CUPS may not answer for minutes, and Qt's pagination of a hostile page takes long too.
void QtDesktop::printDocument(std::unique_ptr<QTextDocument> document, const std::u16string& title,
                              std::function<void(const PrintResult&)> done)
{
    // The answer goes back to the window's thread; a program already ending drops it.
    auto answer = [done = std::move(done)](PrintResult result) mutable {
        QCoreApplication* app = QCoreApplication::instance();
        if (app != nullptr)
            QMetaObject::invokeMethod(
                app, [done = std::move(done), result = std::move(result)] { done(result); }, Qt::QueuedConnection);
    };
    QTextDocument* page = document.release();
    QThread* job = QThread::create([page, title, answer = std::move(answer)]() mutable {
        const std::unique_ptr<QTextDocument> owned(page);
        const std::optional<Destination> destination = defaultDestination();
        if (!destination) {
            answer({false, u"There is no default printer. Set up a printer and make it the default in the system's "
                           u"printer settings, then print again."});
            return;
        }
        std::u16string why;
        const std::optional<QString> pdf = layOut(*owned, *destination, title, why);
        if (!pdf) {
            answer({false, why});
            return;
        }
        answer(sendToCups(*destination, *pdf, title));
    });
    page->moveToThread(job);
    QObject::connect(job, &QThread::finished, job, &QObject::deleteLater);
    job->start();
}

} // namespace quillory
