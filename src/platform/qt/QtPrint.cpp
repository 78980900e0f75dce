#include "platform/qt/QtDesktop.h"

#include "platform/QtText.h"

#include <QDir>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <QTextDocument>

#include <cups/cups.h>

namespace quillory {

PrintResult QtDesktop::printDocument(const QTextDocument& document, const std::u16string& title)
{
    const QPrinterInfo target = QPrinterInfo::defaultPrinter();
    if (target.isNull())
        return {false, u"There is no default printer. Set up a printer and make it the default in the system's "
                       u"printer settings, then print again."};

    // Qt's own CUPS path drops the print system's answer, so a refused job would look printed:
    // the page is laid out into a PDF here and handed over with the answer checked.
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/quillory-print-XXXXXX.pdf"));
    if (!pdf.open())
        return {false, u"The page could not be prepared for printing: " + fromQ(pdf.errorString())};
    {
        QPrinter printer(target, QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf.fileName());
        printer.setPageSize(target.defaultPageSize());
        printer.setDocName(toQ(title));
        document.print(&printer);
        if (printer.printerState() == QPrinter::Error)
            return {false, u"The page could not be prepared for printing."};
    }

    const QByteArray name = target.printerName().toLocal8Bit();
    const QByteArray file = QFile::encodeName(pdf.fileName());
    const QByteArray jobTitle = toQ(title).toUtf8();
    if (cupsPrintFile(name.constData(), file.constData(), jobTitle.constData(), 0, nullptr) == 0)
        return {false, u"The printer " + fromQ(target.printerName()) + u" did not take the page: " +
                           fromQ(QString::fromUtf8(cupsLastErrorString()))};
    return {true, {}};
}

} // namespace quillory
