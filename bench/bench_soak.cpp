// A long soak of the whole window under Qt's offscreen platform: seeded random commands (item
// switches, hotkeys, edits, Add/Delete/Rename Item, Save, copies, reminder checks with a fixed
// clock) on a project of many items, each checked against a model the driver keeps. Prints the
// command rate, the peak resident memory and the resident size at ten points of the run.
//
//   bench_soak [--steps N] [--items N] [--seed N]
//
// A model check that fails ends the run with a message naming the step and the command.
#include "core/store/OrderStamp.h"
#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/editor/RichEdit.h"
#include "ui/form/TForm1.h"

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using quillory::Answer;
using quillory::TForm1;
using quillory::test::ScriptedDesktop;
using Clock = std::chrono::steady_clock;

struct Options {
    int steps = 10000;
    int items = 1000;
    unsigned seed = 20261209;
};

// Resident and peak resident memory of this process, in KiB.
long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.starts_with(key))
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    return -1;
}

std::string U8(const std::u16string& text)
{
    return QString::fromStdU16String(text).toStdString();
}

std::u16string U16(const std::string& text)
{
    return QString::fromStdString(text).toStdU16String();
}

// What the driver expects: the list, every page's text, what each buffer and project file holds.
struct Model {
    std::vector<std::string> order;            // LB's entries
    std::map<std::string, std::string> pages;  // page text, as the editor's plain text
    std::map<std::string, std::string> buffer; // page text of the buffer file
    std::map<std::string, std::string> saved;  // page text of the project file
    std::string shown;

    [[nodiscard]] int rowOf(const std::string& name) const
    {
        return static_cast<int>(std::find(order.begin(), order.end(), name) - order.begin());
    }
    // The page shown leaves the editor: its buffer file holds it from now on.
    void writeShown() { buffer[shown] = pages[shown]; }
    void switchTo(const std::string& name)
    {
        writeShown();
        shown = name;
    }
    // The first armed tag of a page, as the scanner reads it: its stamp, or empty.
    static std::string firstArmedStamp(const std::string& text)
    {
        const auto p = text.find("Reminder{");
        if (p == std::string::npos || p + 22 >= text.size() || text[p + 22] != '}')
            return {};
        return text.substr(p + 9, 13);
    }
};

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Soak {
public:
    explicit Soak(const Options& options) : m_options(options), m_random(options.seed)
    {
        const fs::path project = m_dir / "Soak.qlyp.dir";
        fs::create_directories(project);
        QTextEdit scratch;
        for (int i = 0; i < options.items; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Item %04d", i);
            std::string text = std::string(name) + " v0\nPrepared text for another program.";
            if (i % 20 == 3)
                text += "\nReminder{2016" + MonthDay() + "-" + HourMinute() + "}[due " + std::to_string(i) + "]";
            else if (i % 20 == 7)
                text += "\nReminder{2099" + MonthDay() + "-" + HourMinute() + "}[later " + std::to_string(i) + "]";
            scratch.setPlainText(QString::fromStdString(text));
            const fs::path file = project / name;
            if (quillory::richedit::savePage(scratch, file, quillory::store::Flush::Skip))
                Die(0, "setup", "could not write " + file.string());
            fs::last_write_time(file, quillory::store::OrderStamp(static_cast<std::size_t>(i)));
            m_model.order.push_back(name);
            m_model.pages[name] = m_model.buffer[name] = m_model.saved[name] = scratch.toPlainText().toStdString();
        }
        const fs::path data = m_dir / "Documents" / "Quillory";
        fs::create_directories(data);
        std::ofstream(data / "config", std::ios::binary)
            << "0\r\n0\r\n655\r\n539\r\n"
            << project.string() << "\r\n185\r\nItem 0000\r\n0\r\n0\r\n1\r\n0\r\n\r\n0\r\n0\r\n1\r\n55\r\n";
        m_desktop.documents = m_dir / "Documents";
        m_desktop.autostart = m_dir / "autostart";
        std::tm noon{};
        noon.tm_year = 2026 - 1900;
        noon.tm_mon = 0;
        noon.tm_mday = 1;
        noon.tm_hour = 12;
        noon.tm_isdst = -1;
        m_desktop.clock = std::chrono::system_clock::from_time_t(std::mktime(&noon));
        m_form = std::make_unique<TForm1>(m_desktop);
        m_form->Timer1->stop();
        m_form->ReminderCheck->stop();
        m_form->show();
        m_form->Timer1Timer();
        m_form->EnableFunctionKeyCopy->setChecked(true);
        m_form->MinimiseafterCopy->setChecked(false);
        m_model.shown = "Item 0000";
        m_project = project;
        m_bufferDir = data / "Buffer";
    }

    int run()
    {
        std::printf("soak: %d commands on %d items, seed %u\n", m_options.steps, m_options.items, m_options.seed);
        Clock::duration inCommands{};
        const auto start = Clock::now();
        const int every = std::max(1, m_options.steps / 10);
        for (int step = 1; step <= m_options.steps; ++step) {
            const auto before = Clock::now();
            const std::string command = runOne();
            inCommands += Clock::now() - before;
            checkStep(step, command);
            if (step % 500 == 0 || step == m_options.steps)
                checkAllFiles(step, command);
            if (step % every == 0) {
                std::printf("  step %5d: resident %ld KiB, %zu items\n", step, StatusKiB("VmRSS"),
                            m_model.order.size());
                std::fflush(stdout);
            }
        }
        const double total = std::chrono::duration<double>(Clock::now() - start).count();
        const double commands = std::chrono::duration<double>(inCommands).count();
        std::printf("soak: %d commands in %.1f s with the checks: %.0f commands/s; the commands alone %.1f s, "
                    "%.0f commands/s\n",
                    m_options.steps, total, m_options.steps / total, commands, m_options.steps / commands);
        std::printf("soak: peak resident %ld KiB (VmHWM); counts:", StatusKiB("VmHWM"));
        for (const auto& [name, count] : m_counts)
            std::printf(" %s %d,", name.c_str(), count);
        std::printf(" questions %d\n", m_questions);
        return 0;
    }

private:
    // A day every month has, as mmdd.
    std::string MonthDay() { return TwoByTwo(1 + pick(12), 1 + pick(28)); }
    std::string HourMinute() { return TwoByTwo(pick(24), pick(60)); }
    static std::string TwoByTwo(int a, int b)
    {
        char text[8];
        std::snprintf(text, sizeof text, "%02d%02d", a, b);
        return text;
    }

    [[noreturn]] static void Die(int step, const std::string& command, const std::string& what)
    {
        std::fprintf(stderr, "soak: step %d (%s): %s\n", step, command.c_str(), what.c_str());
        std::exit(1);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    void selectAndSwitch(int row)
    {
        {
            const QSignalBlocker block(m_form->LB);
            m_form->LB->setCurrentRow(row);
        }
        m_form->LBClick();
    }

    void type(const QString& text, bool replaceAll)
    {
        QTextCursor cursor(m_form->RE->document());
        if (replaceAll)
            cursor.select(QTextCursor::Document);
        else
            cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
    }

    std::string runOne()
    {
        Model& m = m_model;
        const int n = static_cast<int>(m.order.size());
        const int roll = pick(100);
        TForm1& form = *m_form;
        if (roll < 20) {
            const int row = pick(n);
            selectAndSwitch(row);
            m.switchTo(m.order[static_cast<std::size_t>(row)]);
            return count("LBClick");
        }
        if (roll < 30) {
            const bool up = pick(2) == 0;
            form.HotkeyPressed(up ? 2 : 3);
            const int row = m.rowOf(m.shown);
            m.switchTo(m.order[static_cast<std::size_t>(up ? std::max(row - 1, 0) : std::min(row + 1, n - 1))]);
            return count(up ? "Ctrl+F2" : "Ctrl+F3");
        }
        if (roll < 50) {
            std::string& page = m.pages[m.shown];
            const int kind = pick(10);
            if (kind < 5) {
                const std::string line = "\nedit " + std::to_string(++m_edits);
                type(QString::fromStdString(line), false);
                page += line;
            } else if (kind < 8) {
                page = m.shown + " v" + std::to_string(++m_edits);
                type(QString::fromStdString(page), true);
            } else {
                const std::string year = kind == 8 ? "2025" : "2098";
                const std::string line = "\nReminder{" + year + MonthDay() + "-" + HourMinute() + "}[soak " +
                                         std::to_string(++m_edits) + "]";
                type(QString::fromStdString(line), false);
                page += line;
            }
            return count("edit");
        }
        if (roll < 56) {
            const bool taken = pick(8) == 0;
            const std::string name =
                taken ? m.order[static_cast<std::size_t>(pick(n))] : "Added " + std::to_string(++m_added);
            m_desktop.expectPrompt(U16(name));
            if (taken)
                m_desktop.expectInfo();
            form.AddItem1Click(&form);
            if (!taken) {
                m.switchTo(name);
                m.order.push_back(name);
                m.pages[name] = m.buffer[name] = m.saved[name] = "";
            }
            return count(taken ? "AddItem(taken)" : "AddItem");
        }
        if (roll < 61) {
            const bool yes = pick(5) != 0 && n > 1;
            m_desktop.expectConfirm(yes ? Answer::Yes : Answer::No);
            form.DeleteItem1Click(&form);
            if (yes) {
                const std::string gone = m.shown;
                m.order.erase(m.order.begin() + m.rowOf(gone));
                m.pages.erase(gone);
                m.buffer.erase(gone);
                m.saved.erase(gone);
                m.shown = m.order.front();
            }
            return count(yes ? "DeleteItem" : "DeleteItem(no)");
        }
        if (roll < 66) {
            const bool taken = pick(8) == 0;
            const std::string name =
                taken ? m.order[static_cast<std::size_t>(pick(n))] : "Renamed " + std::to_string(++m_renamed);
            m_desktop.expectPrompt(U16(name));
            if (taken)
                m_desktop.expectInfo();
            form.RenameItem1Click(&form);
            if (!taken) {
                const std::string old = m.shown;
                m.order[static_cast<std::size_t>(m.rowOf(old))] = name;
                for (auto* map : {&m.pages, &m.buffer, &m.saved}) {
                    auto node = map->extract(old);
                    node.key() = name;
                    map->insert(std::move(node));
                }
                m.shown = name;
            }
            return count(taken ? "RenameItem(taken)" : "RenameItem");
        }
        if (roll < 71) {
            form.SaveProject1Click(&form);
            m.writeShown();
            m.saved = m.buffer;
            if (form.Edited)
                Die(m_step, "Save", "the project is still marked as edited");
            return count("Save");
        }
        if (roll < 78) {
            form.HotkeyPressed(4);
            checkClipboard(m.pages[m.shown], "Ctrl+F4");
            return count("Ctrl+F4");
        }
        if (roll < 88) {
            const int key = pick(9);
            form.FormKeyDown(Qt::Key_F1 + key, Qt::NoModifier);
            if (key < n) {
                m.switchTo(m.order[static_cast<std::size_t>(key)]);
                checkClipboard(m.pages[m.shown], "F" + std::to_string(key + 1));
            }
            return count("F1..F9");
        }
        return reminderCheck();
    }

    // Every page whose first armed tag is due is asked about, in the order of the page names; one
    // answer for all of them, and each tag is acknowledged whatever the answer.
    std::string reminderCheck()
    {
        Model& m = m_model;
        std::vector<std::string> names = m.order;
        std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return Lower(a) < Lower(b); });
        std::vector<std::pair<std::string, std::string>> due;
        for (const auto& name : names) {
            const std::string stamp = Model::firstArmedStamp(m.pages[name]);
            if (!stamp.empty() && stamp.substr(0, 4) < "2026")
                due.emplace_back(name, stamp);
        }
        const bool yes = pick(2) == 0;
        for (std::size_t i = 0; i < due.size(); ++i)
            m_desktop.expectConfirm(yes ? Answer::Yes : Answer::No);
        m_form->ReminderCheckTimer(m_form.get());
        for (const auto& [name, stamp] : due) {
            if (yes)
                m.switchTo(name);
            if (name == m.shown)
                m.writeShown();
            for (auto* map : {&m.pages, &m.buffer}) {
                std::string& text = (*map)[name];
                const std::string armed = "{" + stamp + "}", done = "[" + stamp + "]";
                for (auto at = text.find(armed); at != std::string::npos; at = text.find(armed, at + done.size()))
                    text.replace(at, armed.size(), done);
            }
        }
        m_questions += static_cast<int>(due.size());
        return count(due.empty() ? "ReminderCheck(none due)" : "ReminderCheck");
    }

    std::string count(const std::string& command)
    {
        ++m_counts[command];
        return command;
    }

    void checkClipboard(const std::string& expected, const std::string& command)
    {
        const std::string copied = QGuiApplication::clipboard()->text().toStdString();
        if (copied != expected)
            Die(m_step, command, "the clipboard holds \"" + copied + "\", not \"" + expected + "\"");
    }

    void checkStep(int step, const std::string& command)
    {
        m_step = step + 1;
        const Model& m = m_model;
        for (const auto& box : m_desktop.shown)
            if (box.kind == ScriptedDesktop::Kind::Error)
                Die(step, command, "an error box: " + U8(box.text));
        if (!m_desktop.allConsumed())
            Die(step, command, "a scripted answer was not asked for");
        m_desktop.shown.clear();
        m_desktop.balloons.clear();

        const int rows = m_form->LB->count();
        if (rows != static_cast<int>(m.order.size()))
            Die(step, command,
                "the list has " + std::to_string(rows) + " entries, the model " + std::to_string(m.order.size()));
        for (int row = 0; row < rows; ++row)
            if (m_form->LB->item(row)->text().toStdString() != m.order[static_cast<std::size_t>(row)])
                Die(step, command,
                    "entry " + std::to_string(row) + " is " + m_form->LB->item(row)->text().toStdString() +
                        ", the model has " + m.order[static_cast<std::size_t>(row)]);
        if (U8(m_form->CurrentItem) != m.shown || m_form->LB->currentRow() != m.rowOf(m.shown))
            Die(step, command, "the item shown is " + U8(m_form->CurrentItem) + ", the model's " + m.shown);
        const std::string page = m_form->RE->toPlainText().toStdString();
        if (page != m.pages.at(m.shown))
            Die(step, command, "the page shown holds \"" + page + "\", the model \"" + m.pages.at(m.shown) + "\"");

        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(m_bufferDir))
            files.push_back(entry.path().filename().string());
        std::vector<std::string> entries = m.order;
        std::sort(files.begin(), files.end());
        std::sort(entries.begin(), entries.end());
        if (files != entries)
            Die(step, command,
                "the buffer holds " + std::to_string(files.size()) + " files that do not match the " +
                    std::to_string(entries.size()) + " entries");
    }

    // Every buffer and project file, read as the program reads a page.
    void checkAllFiles(int step, const std::string& command)
    {
        const Model& m = m_model;
        std::vector<std::string> saved;
        for (const auto& entry : fs::directory_iterator(m_project))
            saved.push_back(entry.path().filename().string());
        std::sort(saved.begin(), saved.end());
        std::vector<std::string> entries = m.order;
        std::sort(entries.begin(), entries.end());
        if (saved != entries)
            Die(step, command, "the project folder's files do not match the entries");
        QTextEdit reader;
        for (const auto& [folder, texts] : {std::pair{m_bufferDir, &m.buffer}, std::pair{m_project, &m.saved}})
            for (const auto& [name, text] : *texts) {
                if (quillory::richedit::loadPage(reader, folder / name))
                    Die(step, command, "cannot read " + (folder / name).string());
                if (reader.toPlainText().toStdString() != text)
                    Die(step, command,
                        (folder / name).string() + " holds \"" + reader.toPlainText().toStdString() +
                            "\", the model \"" + text + "\"");
            }
    }

    Options m_options;
    std::mt19937 m_random;
    quillory::test::TempDir m_dir;
    ScriptedDesktop m_desktop;
    std::unique_ptr<TForm1> m_form;
    Model m_model;
    fs::path m_project, m_bufferDir;
    std::map<std::string, int> m_counts;
    int m_step = 1;
    int m_edits = 0, m_added = 0, m_renamed = 0, m_questions = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillory"));
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (flag == "--steps")
            options.steps = static_cast<int>(value);
        else if (flag == "--items")
            options.items = static_cast<int>(value);
        else if (flag == "--seed")
            options.seed = static_cast<unsigned>(value);
    }
    Soak soak(options);
    return soak.run();
}
