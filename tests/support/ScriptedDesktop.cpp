#include "support/ScriptedDesktop.h"

#include "core/Utf.h"
#include "platform/QtText.h"

#include <QTextDocument>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace quillory::test {

std::string describe(ScriptedDesktop::Kind kind)
{
    switch (kind) {
    case ScriptedDesktop::Kind::Info:
        return "information box";
    case ScriptedDesktop::Kind::Confirm:
        return "confirmation box";
    case ScriptedDesktop::Kind::Prompt:
        return "text prompt";
    case ScriptedDesktop::Kind::Error:
        return "error box";
    case ScriptedDesktop::Kind::Folder:
        return "folder browser";
    case ScriptedDesktop::Kind::OpenFile:
        return "open-file dialog";
    case ScriptedDesktop::Kind::SaveFile:
        return "save-file dialog";
    }
    return "box";
}

ScriptedDesktop::ScriptedDesktop() = default;

ScriptedDesktop::~ScriptedDesktop()
{
    for (const Step& s : m_script)
        ADD_FAILURE() << "expected a " << describe(s.kind) << " that never appeared";
}

void ScriptedDesktop::expectInfo(std::function<void()> whileOpen)
{
    m_script.push_back({Kind::Info, Answer::Yes, {}, {}, std::move(whileOpen)});
}

void ScriptedDesktop::expectConfirm(Answer answer, std::function<void()> whileOpen)
{
    m_script.push_back({Kind::Confirm, answer, {}, {}, std::move(whileOpen)});
}

void ScriptedDesktop::expectPrompt(std::optional<std::u16string> answer, std::function<void()> whileOpen)
{
    m_script.push_back({Kind::Prompt, Answer::Yes, std::move(answer), {}, std::move(whileOpen)});
}

void ScriptedDesktop::expectError(std::function<void()> whileOpen)
{
    m_script.push_back({Kind::Error, Answer::Yes, {}, {}, std::move(whileOpen)});
}

void ScriptedDesktop::expectFolder(std::optional<std::filesystem::path> answer)
{
    m_script.push_back({Kind::Folder, Answer::Yes, {}, std::move(answer), {}});
}

void ScriptedDesktop::expectOpenFile(std::optional<std::filesystem::path> answer)
{
    m_script.push_back({Kind::OpenFile, Answer::Yes, {}, std::move(answer), {}});
}

void ScriptedDesktop::expectSaveFile(std::optional<std::filesystem::path> answer)
{
    m_script.push_back({Kind::SaveFile, Answer::Yes, {}, std::move(answer), {}});
}

std::vector<std::u16string> ScriptedDesktop::texts(Kind kind) const
{
    std::vector<std::u16string> out;
    for (const Shown& s : shown)
        if (s.kind == kind)
            out.push_back(s.text);
    return out;
}

std::optional<ScriptedDesktop::Step> ScriptedDesktop::take(Kind kind, const std::u16string& text)
{
    if (m_script.empty() || m_script.front().kind != kind) {
        ADD_FAILURE() << "unexpected " << describe(kind) << ": \"" << Utf16ToUtf8(text) << "\""
                      << (m_script.empty() ? std::string(" (nothing scripted)")
                                           : " (expected a " + describe(m_script.front().kind) + ")");
        return std::nullopt;
    }
    Step step = std::move(m_script.front());
    m_script.pop_front();
    if (step.whileOpen)
        step.whileOpen();
    return step;
}

void ScriptedDesktop::setOwner(QWidget*)
{
}

void ScriptedDesktop::showInfo(const std::u16string& text)
{
    shown.push_back({Kind::Info, text, {}, {}});
    (void)take(Kind::Info, text);
}

Answer ScriptedDesktop::confirm(const std::u16string& text, bool withCancel)
{
    shown.push_back({Kind::Confirm, text, withCancel ? u"YesNoCancel" : u"YesNo", {}});
    const auto step = take(Kind::Confirm, text);
    if (!step)
        return withCancel ? Answer::Cancel : Answer::No;
    return step->answer;
}

std::optional<std::u16string> ScriptedDesktop::promptText(const std::u16string& title, const std::u16string& prompt,
                                                          const std::u16string& text)
{
    shown.push_back({Kind::Prompt, title, prompt + u"|" + text, {}});
    const auto step = take(Kind::Prompt, title);
    return step ? step->text : std::nullopt;
}

void ScriptedDesktop::showError(const std::u16string& text)
{
    shown.push_back({Kind::Error, text, {}, {}});
    (void)take(Kind::Error, text);
}

std::optional<std::filesystem::path> ScriptedDesktop::browseForFolder(const std::u16string& title,
                                                                      const std::filesystem::path& start)
{
    shown.push_back({Kind::Folder, title, start.u16string(), {}});
    const auto step = take(Kind::Folder, title);
    return step ? step->path : std::nullopt;
}

std::optional<std::filesystem::path> ScriptedDesktop::openFileName(const std::u16string& title,
                                                                   const std::filesystem::path& start,
                                                                   const std::u16string& filter,
                                                                   const std::u16string& defaultExtension)
{
    shown.push_back({Kind::OpenFile, title, start.u16string(), filter + u"\n" + defaultExtension});
    const auto step = take(Kind::OpenFile, title);
    return step ? step->path : std::nullopt;
}

std::optional<std::filesystem::path> ScriptedDesktop::saveFileName(const std::u16string& title,
                                                                   const std::filesystem::path& start,
                                                                   const std::u16string& filter,
                                                                   const std::u16string& defaultExtension)
{
    shown.push_back({Kind::SaveFile, title, start.u16string(), filter + u"\n" + defaultExtension});
    const auto step = take(Kind::SaveFile, title);
    return step ? step->path : std::nullopt;
}

bool ScriptedDesktop::moveToTrash(const std::filesystem::path& file)
{
    if (trash.empty())
        return false;
    std::error_code error;
    std::filesystem::create_directories(trash, error);
    // Like a real trash, a second file of the same name gets a name of its own.
    std::filesystem::path target = trash / file.filename();
    for (int n = 2; std::filesystem::exists(target, error); ++n)
        target = trash / (file.filename().string() + "." + std::to_string(n));
    std::filesystem::rename(file, target, error);
    return !error;
}

void ScriptedDesktop::showBalloon(const std::u16string& text)
{
    balloons.push_back(text);
}

links::ShellResult ScriptedDesktop::openAddress(const std::u16string& address)
{
    opened.push_back(address);
    return openResult;
}

void ScriptedDesktop::showInFileManager(const std::filesystem::path& file)
{
    shownInFolder.push_back(file);
}

links::ShellResult ScriptedDesktop::shellOpen(const std::u16string& file, const std::u16string& parameters,
                                              const std::u16string& folder)
{
    runs.push_back({file, parameters, folder});
    return openResult;
}

void ScriptedDesktop::printDocument(std::unique_ptr<QTextDocument> document, const std::u16string& title,
                                    std::function<void(const PrintResult&)> done)
{
    printed.push_back({title, fromQ(document->toPlainText())});
    auto answer = [done = std::move(done), result = printResult] { done(result); };
    if (holdPrints)
        pendingPrints.push_back(std::move(answer));
    else
        answer();
}

HotkeyStatus ScriptedDesktop::registerHotkeys(std::function<void(int id)> pressed)
{
    hotkeyPressed = std::move(pressed);
    return hotkeys;
}

int ScriptedDesktop::randomBelow(int)
{
    if (randoms.empty())
        return 0;
    const int r = randoms.front();
    randoms.pop_front();
    return r;
}

bool ScriptedDesktop::bindDesktopShortcuts(unsigned mask, const std::array<std::u16string, 5>& commands,
                                           std::u16string& why)
{
    boundShortcuts.push_back({mask, commands});
    if (!bindFailure.empty()) {
        why = bindFailure;
        return false;
    }
    if (shortcuts) {
        shortcuts->oursMask |= mask;
        shortcuts->freeMask &= ~mask;
    }
    return true;
}

void ScriptedDesktop::watchHotkeys(std::function<void(const HotkeyStatus&)> changed)
{
    hotkeysChanged = std::move(changed);
}

void ScriptedDesktop::setClipboard(std::unique_ptr<QMimeData> data, std::function<void(bool copied)> done)
{
    auto held = std::make_shared<std::unique_ptr<QMimeData>>(std::move(data));
    auto finish = [this, held, done = std::move(done)] {
        const bool copied = copyWorks;
        if (copied)
            QGuiApplication::clipboard()->setMimeData(held->release());
        done(copied);
    };
    if (holdCopies)
        pendingCopies.push_back(std::move(finish));
    else
        finish();
}

void ScriptedDesktop::setStayOnTop(QWidget& window, bool on)
{
    if (stayOnTop[&window] != on)
        ++stayOnTopChanges;
    stayOnTop[&window] = on;
}

bool ScriptedDesktop::isStayOnTop(const QWidget& window) const
{
    const auto it = stayOnTop.find(&window);
    return it != stayOnTop.end() && it->second;
}

} // namespace quillory::test
