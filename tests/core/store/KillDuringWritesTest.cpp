// The store's writes killed at random moments: a child process keeps rewriting pages in the
// buffer, restamping them and saving the buffer into the project, and is sent SIGKILL part-way.
// Whatever the moment, every page must hold a whole version, old or new, none may go missing,
// and what the next start finds of the interrupted writes is cleared by it.
#include "core/store/AtomicFile.h"
#include "core/store/PosixIo.h"
#include "core/store/ProjectStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillory;
namespace fs = std::filesystem;

namespace {

constexpr int kItems = 20;
constexpr int kKills = 100;
// Each run's versions start at a multiple of this, so a version tells the run that wrote it.
constexpr long kRunStride = 1'000'000;

std::string ItemName(int i)
{
    return "Page " + std::to_string(i);
}

// A page of some 16 KB, so that a kill often lands inside a write: its first line names the page
// and the version, the rest follows from them, and it ends in a marker a truncation would lose.
std::string PageText(const std::string& name, long version)
{
    std::string text = name + " v" + std::to_string(version) + "\n";
    std::minstd_rand fill(static_cast<unsigned>(version * 31 + static_cast<long>(name.size())));
    while (text.size() < 16 * 1024)
        text.push_back(static_cast<char>('a' + fill() % 26));
    return text + "\nEND\n";
}

// The version a file holds, or -1 when its content is not exactly one of the page's versions.
long VersionOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = bytes.str();
    const std::string name = file.filename().string();
    const std::string head = name + " v";
    if (!text.starts_with(head))
        return -1;
    const long version = std::strtol(text.c_str() + head.size(), nullptr, 10);
    return text == PageText(name, version) ? version : -1;
}

// The child's work until it is killed: page writes as the item switch makes them, the restamp,
// and the save that copies the buffer into the project, with one page changed between saves.
[[noreturn]] void WriteForever(const fs::path& buffer, const fs::path& project, long firstVersion, int ready)
{
    std::vector<std::u16string> names;
    for (int i = 0; i < kItems; ++i)
        names.push_back(fs::path(ItemName(i)).u16string());
    const char go = 1;
    (void)::write(ready, &go, 1);
    for (long version = firstVersion;; ++version) {
        for (int i = 0; i < kItems; ++i) {
            const std::string name = ItemName(i);
            if (store::ReplaceFileIfChanged(buffer / name, PageText(name, version), store::Flush::Skip))
                ::_exit(2);
            if (i % 5 == 4) {
                (void)store::StampAll(buffer, names);
                if (!store::CopyBufferToProject(buffer, project).empty())
                    ::_exit(3);
            }
        }
    }
}

struct Seen {
    std::map<std::string, long> versions; // page name → version found
    std::vector<std::string> problems;
    int temporaries = 0;
};

// Every file of `folder`: the pages, each with a whole version at least `floor[name]`, and our
// temporaries, counted. Anything else is a problem.
Seen Inspect(const fs::path& folder, const std::map<std::string, long>& floor)
{
    Seen seen;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (store::detail::IsOurTemporary(name)) {
            ++seen.temporaries;
            continue;
        }
        const auto before = floor.find(name);
        if (before == floor.end()) {
            seen.problems.push_back("a stray file " + name);
            continue;
        }
        const long version = VersionOf(entry.path());
        if (version < 0)
            seen.problems.push_back(name + " holds no whole version (" + std::to_string(fs::file_size(entry.path())) +
                                    " bytes)");
        else if (version < before->second)
            seen.problems.push_back(name + " went back from v" + std::to_string(before->second) + " to v" +
                                    std::to_string(version));
        seen.versions[name] = version;
    }
    for (const auto& [name, version] : floor)
        if (!seen.versions.contains(name))
            seen.problems.push_back(name + " is lost");
    return seen;
}

// Memory-backed where there is one: a kill waits for a sync under way, and on a busy disk that
// is most of the run. What a kill can leave behind is the same.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string pattern =
            (fs::is_directory("/dev/shm") ? std::string("/dev/shm") : fs::temp_directory_path().string()) +
            "/quillory-kill-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr)
            m_path = pattern;
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    [[nodiscard]] fs::path operator/(const fs::path& p) const { return m_path / p; }
    [[nodiscard]] bool made() const { return !m_path.empty(); }

private:
    fs::path m_path;
};

} // namespace

TEST(KillDuringWrites, EveryPageStaysWholeAndTheNextStartClearsTheTemporaries)
{
    const ScratchDir dir;
    ASSERT_TRUE(dir.made());
    const fs::path buffer = dir / "Buffer";
    const fs::path project = dir / "Kill.qlyp.dir";
    fs::create_directories(buffer);
    fs::create_directories(project);
    std::map<std::string, long> inBuffer, inProject;
    for (int i = 0; i < kItems; ++i) {
        const std::string name = ItemName(i);
        ASSERT_FALSE(store::ReplaceFileAtomically(project / name, PageText(name, 0)));
        inBuffer[name] = inProject[name] = 0;
    }
    ASSERT_TRUE(store::RefillBuffer(project, buffer).failures.empty());

    std::mt19937 random(20261209);
    int killedWithTemporaries = 0;
    for (int run = 1; run <= kKills; ++run) {
        SCOPED_TRACE("kill " + std::to_string(run));
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            WriteForever(buffer, project, run * kRunStride, ready[1]);
        }
        ::close(ready[1]);
        char go = 0;
        ASSERT_EQ(::read(ready[0], &go, 1), 1);
        ::close(ready[0]);
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 20'000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

        const Seen buffered = Inspect(buffer, inBuffer);
        const Seen saved = Inspect(project, inProject);
        ASSERT_EQ(buffered.problems, std::vector<std::string>()) << "in the buffer";
        ASSERT_EQ(saved.problems, std::vector<std::string>()) << "in the project";
        inBuffer = buffered.versions;
        inProject = saved.versions;
        if (buffered.temporaries + saved.temporaries > 0)
            ++killedWithTemporaries;

        // Every few kills, a start: the buffer is refilled from the project, as the program does.
        if (run % 4 == 0) {
            ASSERT_TRUE(store::RefillBuffer(project, buffer).failures.empty());
            const Seen started = Inspect(buffer, inProject);
            ASSERT_EQ(started.problems, std::vector<std::string>());
            EXPECT_EQ(started.versions, inProject);
            EXPECT_EQ(started.temporaries + Inspect(project, inProject).temporaries, 0);
            inBuffer = started.versions;
        }
    }
    ASSERT_TRUE(store::RefillBuffer(project, buffer).failures.empty());
    EXPECT_EQ(Inspect(project, inProject).temporaries, 0);
    // The kills came while the writer was at work, not only before it began.
    long newest = 0;
    for (const auto& [name, version] : inProject)
        newest = std::max(newest, version);
    EXPECT_GT(newest, kRunStride);
    RecordProperty("killed_with_temporaries", killedWithTemporaries);
    std::cout << "kills: " << kKills << ", of which left temporaries until the next start: " << killedWithTemporaries
              << "\n";
}
