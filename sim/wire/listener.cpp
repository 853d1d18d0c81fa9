#include "sim/wire/listener.h"

#include <sys/socket.h>

#include <chrono>

#include "sim/note.h"

namespace vandir::sim {

Listener::Listener(asio::io_context& io, const asio::ip::tcp::endpoint& endpoint, Serve serve)
    : io_(io), acceptor_(io, endpoint, /*reuse_address=*/true), port_(endpoint.port()),
      serve_(std::move(serve)) {
  thread_ = std::thread([this] { Run(); });
}

Listener::~Listener() {
  stopping_ = true;
  // Shutting a listening socket down wakes the blocked accept; closing it from this
  // thread would race with the accept that still uses it.
  ::shutdown(acceptor_.native_handle(), SHUT_RDWR);
  thread_.join();
}

void Listener::Run() {
  for (;;) {
    Socket socket(io_);
    std::error_code ec;
    acceptor_.accept(socket, ec);
    if (stopping_) return;
    if (ec) {
      Note("port %u: accept failed (%s)", port_, ec.message().c_str());
      // Such errors (out of descriptors, say) last a while; do not spin on them.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      continue;
    }
    socket.set_option(asio::ip::tcp::no_delay(true), ec);
    serve_(socket);
  }
}

}  // namespace vandir::sim
