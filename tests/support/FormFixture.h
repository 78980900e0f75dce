#pragma once

#include "core/settings/Config.h"

#include "support/ScriptedDesktop.h"
#include "support/TempDir.h"
#include "ui/form/TForm1.h"

#include <QListWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace quillory::test {

namespace fs = std::filesystem;

// A main window over a temporary home folder, driven through the scripted desktop.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop.documents = home / "Documents";
        desktop.autostart = home / ".config" / "autostart";
    }

    void TearDown() override { form.reset(); }

    [[nodiscard]] fs::path dataDir() const { return home / "Documents" / "Quillory"; }
    [[nodiscard]] fs::path bufferDir() const { return dataDir() / "Buffer"; }
    [[nodiscard]] fs::path defaultProject() const { return dataDir() / "MyStuff.qlyp.dir"; }

    // Creates the window and shows it, which runs the start-up.
    void start()
    {
        form = std::make_unique<TForm1>(desktop);
        form->ReminderCheck->stop();
        form->show();
        form->Timer1->stop(); // ticks run when a test calls tick()
    }
    void tick() { form->Timer1Timer(); }

    static void writeFile(const fs::path& file, const std::string& bytes)
    {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    [[nodiscard]] static std::string readFile(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // `config` as the close query writes it: the fields a test names, a first start's values for
    // the rest (`writeConfig({.projectPath = ..., .currentItem = u"Two"})`).
    void writeConfig(const settings::Config& config) { writeFile(dataDir() / "config", settings::WriteConfig(config)); }
    // A project folder whose items carry the order stamps of the given order.
    fs::path makeProject(const std::string& name, const std::vector<std::string>& itemsInOrder,
                         const fs::path& parent = {});
    [[nodiscard]] std::vector<std::string> entries() const
    {
        std::vector<std::string> out;
        for (int i = 0; i < form->LB->count(); ++i)
            out.push_back(form->LB->item(i)->text().toStdString());
        return out;
    }
    [[nodiscard]] std::string selected() const
    {
        const auto* item = form->LB->currentItem();
        return item && item->isSelected() ? item->text().toStdString() : std::string();
    }
    [[nodiscard]] std::string page() const { return form->RE->toPlainText().toStdString(); }
    void type(const QString& text)
    {
        form->RE->moveCursor(QTextCursor::End);
        form->RE->insertPlainText(text);
    }
    // Selects an entry as a click would.
    void click(int row) { form->LB->setCurrentRow(row); }

    TempDir home;
    ScriptedDesktop desktop;
    std::unique_ptr<TForm1> form;
};

} // namespace quillory::test
