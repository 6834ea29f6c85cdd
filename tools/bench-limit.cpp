// SPDX-License-Identifier: MIT
// The bench's "limit": about the least a program must do to upload the files of a folder through
// one `rclone rcd`, 4 files in flight per remote, each copy followed by its public link. Blocking
// sockets, a thread per file in flight, no event loop and no JSON library: what is left is
// rclone's own work. Not part of Skyloft.
//
//   skyloft-bench-limit RCLONE FOLDER REMOTE...
//
// rclone gets the environment Skyloft gives it (RCLONE_CONFIG and HOME from ours). Prints
// "REMOTE<TAB>FILE<TAB>LINK" per pair and exits 1 if any copy or link failed.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kInFlightPerRemote = 4;

std::string g_authorization;
int g_port = 0;
std::mutex g_outputMutex;
std::atomic<int> g_failures{0};

std::string jsonString(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string base64(const std::string &in)
{
    static const char *table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = -6;
    for (const unsigned char c : in) {
        value = (value << 8) + c;
        bits += 8;
        while (bits >= 0) {
            out += table[(value >> bits) & 0x3F];
            bits -= 6;
        }
    }
    if (bits > -6)
        out += table[((value << 8) >> (bits + 8)) & 0x3F];
    while (out.size() % 4)
        out += '=';
    return out;
}

int connectToDaemon()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(g_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// One POST on a kept-alive connection; returns the status and puts the body in `body`.
int post(int fd, const std::string &method, const std::string &json, std::string &body)
{
    const std::string request =
        "POST /" + method + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
        "Authorization: " + g_authorization +
        "\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(json.size()) +
        "\r\n\r\n" + json;
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size()))
        return -1;
    std::string data;
    char buffer[16384];
    size_t headerEnd = std::string::npos;
    for (;;) {
        if (headerEnd == std::string::npos)
            headerEnd = data.find("\r\n\r\n");
        if (headerEnd != std::string::npos) {
            const std::string headers = data.substr(0, headerEnd);
            const size_t length = headers.find("Content-Length: ");
            if (length != std::string::npos) {
                const size_t size = std::strtoul(headers.c_str() + length + 16, nullptr, 10);
                if (data.size() >= headerEnd + 4 + size) {
                    body = data.substr(headerEnd + 4, size);
                    break;
                }
            } else if (data.size() >= 5 && data.compare(data.size() - 5, 5, "0\r\n\r\n") == 0) {
                body = data.substr(headerEnd + 4); // chunked: the body's text is all we look at
                break;
            }
        }
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            return -1;
        data.append(buffer, static_cast<size_t>(got));
    }
    return std::atoi(data.c_str() + 9);
}

std::string linkIn(const std::string &body)
{
    const size_t at = body.find("\"url\": \"");
    if (at == std::string::npos)
        return {};
    const size_t end = body.find('"', at + 8);
    return body.substr(at + 8, end - at - 8);
}

void lane(const std::string &folder, const std::vector<std::string> &files,
          const std::string &remote, std::atomic<size_t> &next)
{
    int fd = connectToDaemon();
    std::string body;
    for (size_t i = next++; i < files.size(); i = next++) {
        const std::string &name = files[i];
        const int copied =
            post(fd, "operations/copyfile",
                 "{\"srcFs\":" + jsonString(folder) + ",\"srcRemote\":" + jsonString(name) +
                     ",\"dstFs\":" + jsonString(remote + ":") +
                     ",\"dstRemote\":" + jsonString(name) + "}",
                 body);
        const int linked = post(
            fd, "operations/publiclink",
            "{\"fs\":" + jsonString(remote + ":") + ",\"remote\":" + jsonString(name) + "}", body);
        const std::string link = linked == 200 ? linkIn(body) : std::string();
        if (copied != 200 || link.empty())
            ++g_failures;
        std::lock_guard lock(g_outputMutex);
        std::printf("%s\t%s\t%s\n", remote.c_str(), name.c_str(), link.c_str());
    }
    ::close(fd);
}

pid_t startDaemon(const char *rclone, const std::string &password)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDERR_FILENO);
        const std::string config = std::string("RCLONE_CONFIG=") + std::getenv("RCLONE_CONFIG");
        const std::string home = std::string("HOME=") + std::getenv("HOME");
        const std::string pass = "RCLONE_RC_PASS=" + password;
        const char *environment[] = {config.c_str(),
                                     home.c_str(),
                                     "PATH=/usr/bin:/bin:/usr/sbin:/sbin",
                                     "TCELL_MINIMIZE=1",
                                     "RCLONE_RC_USER=limite",
                                     pass.c_str(),
                                     nullptr};
        const char *arguments[] = {rclone, "rcd", "--rc-addr", "127.0.0.1:0", nullptr};
        ::execve(rclone, const_cast<char **>(arguments), const_cast<char **>(environment));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    std::string output;
    char buffer[512];
    static const std::string serving = "Serving remote control on http://127.0.0.1:";
    while (g_port == 0) {
        const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
        if (got <= 0)
            break;
        output.append(buffer, static_cast<size_t>(got));
        const size_t at = output.find(serving);
        if (at != std::string::npos && output.find('/', at + serving.size()) != std::string::npos)
            g_port = std::atoi(output.c_str() + at + serving.size());
    }
    // rcd goes on writing a line now and then; the pipe is drained so that it never blocks.
    std::thread([fd = pipeFds[0]] {
        char sink[4096];
        while (::read(fd, sink, sizeof sink) > 0) {
        }
    }).detach();
    return pid;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4 || !std::getenv("RCLONE_CONFIG") || !std::getenv("HOME")) {
        std::fprintf(stderr, "uso: RCLONE_CONFIG=… %s RCLONE CARPETA REMOTO...\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[2];
    std::vector<std::string> files;
    if (DIR *dir = ::opendir(folder.c_str())) {
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_type == DT_REG)
                files.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::sort(files.begin(), files.end());

    std::random_device random;
    const std::string password = std::to_string(random()) + std::to_string(random());
    g_authorization = "Basic " + base64("limite:" + password);
    const pid_t daemon = startDaemon(argv[1], password);
    if (daemon <= 0 || g_port == 0) {
        std::fprintf(stderr, "rclone rcd no arrancó\n");
        return 1;
    }

    std::vector<std::atomic<size_t>> next(static_cast<size_t>(argc - 3));
    std::vector<std::thread> lanes;
    for (int r = 3; r < argc; ++r) {
        for (int i = 0; i < kInFlightPerRemote; ++i)
            lanes.emplace_back(lane, std::cref(folder), std::cref(files), std::string(argv[r]),
                               std::ref(next[static_cast<size_t>(r - 3)]));
    }
    for (std::thread &thread : lanes)
        thread.join();
    ::kill(daemon, SIGTERM);
    ::waitpid(daemon, nullptr, 0);
    return g_failures > 0 ? 1 : 0;
}
