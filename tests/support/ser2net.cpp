#include "support/ser2net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

extern char** environ;

namespace trv810::tests {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string ser2netBinary() {
  for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"})
    if (::access(path, X_OK) == 0) return path;
  throw std::runtime_error("ser2net is not installed (scripts/install-deps.sh installs it)");
}

// A loopback socket bound to a port the system chose; the port in `port`.
int boundSocket(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
    throw std::runtime_error("no loopback port: " + std::string(std::strerror(errno)));
  port = ntohs(a.sin_port);
  return fd;
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether process `pid` holds a socket listening on 127.0.0.1:`port`: the socket's
// inode from /proc/net/tcp among the process's descriptors. So a port that another
// program took meanwhile is not mistaken for ser2net's.
bool listensOn(pid_t pid, int port) {
  std::istringstream table(slurp("/proc/net/tcp"));
  std::string line;
  std::getline(table, line);  // the heading
  char wanted[16];
  std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
    if (local != wanted || state != "0A") continue;
    const std::string target = "socket:[" + inode + "]";
    std::error_code ec;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec)) {
      std::error_code linkError;
      if (fs::read_symlink(fd.path(), linkError).string() == target) return true;
    }
  }
  return false;
}

}  // namespace

Ser2net::Ser2net(const std::string& device) {
  char folder[] = "/tmp/trv810-ser2net-XXXXXX";
  if (::mkdtemp(folder) == nullptr) throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
  folder_ = folder;
  // A port chosen free may be taken by another run before ser2net binds it: then
  // ser2net does not listen there, and it is started again on other ports.
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (start(device)) return;
  }
  std::error_code ec;
  fs::remove_all(folder_, ec);
  throw std::runtime_error("ser2net did not start");
}

bool Ser2net::start(const std::string& device) {
  {
    const int a = boundSocket(rawPort_);
    const int b = boundSocket(telnetPort_);  // both held at once, so they differ
    ::close(a);
    ::close(b);
  }
  // chardelay off: ser2net would otherwise hold every byte from the port back for a
  // few characters' time, which a stop-and-wait protocol pays on every frame.
  std::ofstream(folder_ + "/ser2net.yaml")
      << "connection: &raw\n  accepter: tcp,127.0.0.1," << rawPort_ << "\n  connector: serialdev," << device
      << ",19200n81,local\n  options:\n    chardelay: false\n"
      << "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_
      << "\n  connector: serialdev," << device << ",19200n81,local\n  options:\n    chardelay: false\n";
  const std::string binary = ser2netBinary();
  const std::string config = folder_ + "/ser2net.yaml", pidFile = folder_ + "/ser2net.pid", log = folder_ + "/log";
  std::vector<std::string> args{binary, "-d", "-u", "-c", config, "-P", pidFile};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const int rc = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start ser2net: " + std::string(std::strerror(rc)));
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (std::chrono::steady_clock::now() < deadline) {
    if (listensOn(pid_, rawPort_) && listensOn(pid_, telnetPort_)) return true;
    if (slurp(log).find("Unable to startup") != std::string::npos) break;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("ser2net ended: " + slurp(log));
    }
    std::this_thread::sleep_for(10ms);
  }
  stop(SIGTERM);
  return false;
}

Ser2net::~Ser2net() {
  stop(SIGTERM);
  std::error_code ec;
  fs::remove_all(folder_, ec);
}

std::string Ser2net::raw() const { return "socket://127.0.0.1:" + std::to_string(rawPort_); }
std::string Ser2net::rfc2217() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_); }

void Ser2net::kill() { stop(SIGKILL); }

void Ser2net::stop(int signo) {
  if (pid_ <= 0) return;
  ::kill(pid_, signo);
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
}

ClosedPort::ClosedPort() { fd_ = boundSocket(port_); }
ClosedPort::~ClosedPort() { ::close(fd_); }

}  // namespace trv810::tests
