// Serves one simulated instrument over the virtual USB cable: TCP, frames of
// a 4-byte big-endian length and the bytes. The first client gets "OPEN" and
// holds the instrument until it disconnects; anyone else meanwhile gets
// "BUSY" and is closed. Each frame from the client is one write to the
// instrument; each reply goes back as one frame.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/visa/Backend.h"
#include "platform/visa/CableFraming.h"
#include "sim/EventLog.h"
#include "sim/Instrument.h"
#include "sim/WakePipe.h"

namespace kvxsim {

// How long a reply may wait for a client that does not read before that
// client is dropped and the instrument is free for the next one.
inline constexpr std::chrono::milliseconds kClientWriteWait{3000};

class Server {
 public:
  // Port 0 picks a free port; an empty host means loopback.
  Server(std::shared_ptr<SimHandle> instrument, std::string host, std::uint16_t port);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds, listens and starts serving. False (with the reason) when the
  // address cannot be used.
  bool Start(std::string* error = nullptr);
  std::uint16_t Port() const { return port_; }
  // The bound address as text, e.g. "127.0.0.1" or "[::1]".
  const std::string& Address() const { return address_; }
  // Ends the service promptly, also while a client is connected.
  void Stop();
  // Replaces kClientWriteWait; call before Start().
  void SetClientWriteWait(std::chrono::milliseconds wait) { clientWriteWait_ = wait; }
  // Notes clients coming and going and every reply sent ("reply ok|bad|text
  // QUERY"); call before Start(). The log must outlive the server.
  void SetEventLog(EventLog* log) { log_ = log; }

 private:
  void Run();
  void Accept();
  void ReadFrames();
  void ForwardReplies();
  void DropClient();

  std::shared_ptr<SimHandle> instrument_;
  std::string host_;
  std::uint16_t port_;
  std::string address_;
  std::chrono::milliseconds clientWriteWait_ = kClientWriteWait;
  int listenFd_ = -1;
  WakePipe wake_;
  std::thread thread_;

  // Owned by the serving thread; Stop() only shuts the socket down (under
  // the mutex) to end a write the client does not read.
  std::mutex clientMutex_;
  int clientFd_ = -1;
  std::unique_ptr<visa::DeviceLink> link_;
  visa::CableFrameReader reader_;
  EventLog* log_ = nullptr;
  std::string lastQuery_;  // the last write, which the next reply answers
};

}  // namespace kvxsim
