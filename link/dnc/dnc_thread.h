// DNC: the thread of the DNC channel. It connects to the controller's DNC port, trying again
// every 100 ms until the controller accepts, and then only answers: it reads one 512-byte
// request at a time, serves it on the PC's disk and sends the reply. A channel that breaks
// closes every file the controller had open and stays down until it is stopped and started
// again.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "link/data_record_sink.h"
#include "link/package.h"

namespace vandir {

class DNC {
 public:
  // Asked for the PC folder served at the start of every request.
  using RootSource = std::function<std::string()>;

  DNC(RootSource root, DataRecordSink* recorder);
  ~DNC();
  DNC(const DNC&) = delete;
  DNC& operator=(const DNC&) = delete;

  // Starts connecting to `host` (a stopped channel first; see Stop).
  void Start(const std::string& host, std::uint16_t port = kDncChannelPort);
  // Ends the channel: cuts the connection or the connect attempt, closes every file the
  // controller had open and returns once the thread has ended.
  void Stop();

  // Published state, read by any thread.
  std::atomic<bool> DNCConnected{false};
  std::atomic<bool> DNCInService{false};

 private:
  enum class End { Stopped, Broken, SendFailed };

  void Run(std::string host, std::uint16_t port);
  bool Connect(const std::string& host, std::uint16_t port);
  End ServeConnection();
  void Drop();

  // The server and the socket, used by the thread alone while it runs, and the stop signal.
  struct Channel;
  const std::unique_ptr<Channel> channel_;
  std::thread thread_;
};

}  // namespace vandir
