// The socket types of the simulator, tied to the io_context's own executor. The
// simulator only makes blocking calls; the default polymorphic executor would still
// pull in Asio's handler machinery, whose memory fences ThreadSanitizer cannot model
// (GCC says so with -Wtsan).
#pragma once

#include <asio.hpp>

namespace vandir::sim {

using Socket = asio::basic_stream_socket<asio::ip::tcp, asio::io_context::executor_type>;
using Acceptor = asio::basic_socket_acceptor<asio::ip::tcp, asio::io_context::executor_type>;

}  // namespace vandir::sim
