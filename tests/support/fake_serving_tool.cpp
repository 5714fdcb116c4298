// A stand-in for the tool's serving mode, for behaviours the real tool cannot be made to show
// on request. Started with --serve, it answers requests as the real tool frames them; what it
// does with a file depends on the file's name:
//   *crash*   it ends by SIGSEGV while reading the file
//   *hang*    it never answers
//   *grow*    it keeps 64 MB more for as long as it lives
//   *slow*    it answers after 0.3 s
//   *locked*  it needs the password "right": without it, it says so, as the real tool does
//   else      a dump whose Title is the file's base name, whose Producer is its process id
//             and whose page count is how many files it has answered, this one included
// Every request is appended to "serve.log" beside it: "PID PATH WORDS PASSWORD". It names the
// audit among its features, but writes no audit lines.
// Without --serve it refuses, as a tool that cannot serve would.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

bool readExactly(std::string& into, std::size_t count) {
    into.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(0, into.data() + got, count - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool readLine(std::string& line) {
    line.clear();
    char c = 0;
    while (::read(0, &c, 1) == 1) {
        if (c == '\n')
            return true;
        line += c;
    }
    return false;
}

void writeAll(const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(1, data.data() + done, data.size() - done);
        if (n <= 0)
            std::exit(1);
        done += static_cast<std::size_t>(n);
    }
}

void answer(unsigned long long id, int status, const std::string& dump, const std::string& errors) {
    writeAll("answer " + std::to_string(id) + ' ' + std::to_string(status) + ' ' +
             std::to_string(dump.size()) + ' ' + std::to_string(errors.size()) + '\n' + dump +
             errors);
}

std::string baseName(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".pdf") == 0)
        name.resize(name.size() - 4);
    return name;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--serve") != 0) {
        std::fputs("Error: this tool only serves\n", stderr);
        return 2;
    }
    const std::string here = std::string(argv[0]).substr(0, std::string(argv[0]).rfind('/'));
    const std::string logPath = here + "/serve.log";
    std::vector<char*> kept;
    int served = 0;
    writeAll("ready 1 audit,audit_first_page,serve\n");
    std::string header;
    while (readLine(header)) {
        unsigned long long id = 0;
        std::size_t pathLength = 0;
        std::size_t passwordLength = 0;
        char words[256] = {};
        if (std::sscanf(header.c_str(), "request %llu %zu %zu %255s", &id, &pathLength,
                        &passwordLength, words) != 4)
            return 3;
        std::string path;
        std::string password;
        if (!readExactly(path, pathLength) || !readExactly(password, passwordLength))
            return 3;
        if (FILE* log = std::fopen(logPath.c_str(), "a")) {
            std::fprintf(log, "%d %s %s %s\n", static_cast<int>(::getpid()), path.c_str(), words,
                         password.c_str());
            std::fclose(log);
        }
        ++served;
        if (path.find("crash") != std::string::npos) {
            // The default action, also where a sanitizer catches SIGSEGV and aborts instead.
            std::signal(SIGSEGV, SIG_DFL);
            std::raise(SIGSEGV);
        }
        if (path.find("hang") != std::string::npos)
            for (;;)
                ::pause();
        if (path.find("slow") != std::string::npos)
            ::usleep(300000);
        if (path.find("grow") != std::string::npos) {
            char* block = static_cast<char*>(std::malloc(64u << 20));
            std::memset(block, 1, 64u << 20);
            kept.push_back(block);
        }
        if (path.find("locked") != std::string::npos && password != "right") {
            answer(id, 1, "",
                   "Error: Failed to open PDF file: \n   " + path +
                       "\n   OWNER OR USER PASSWORD REQUIRED, but not given (or incorrect)\n");
            continue;
        }
        answer(id, 0,
               "InfoBegin\nInfoKey: Title\nInfoValue: " + baseName(path) +
                   "\nInfoBegin\nInfoKey: Producer\nInfoValue: " + std::to_string(::getpid()) +
                   "\nNumberOfPages: " + std::to_string(served) + "\n",
               "");
    }
    return 0;
}
