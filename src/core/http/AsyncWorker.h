// The hand-off between an asynchronous request's worker thread and the
// user-interface thread: every report runs there while the worker waits, and
// abandoning the request stops both sides at once.
#pragma once

#include "Exchange.h"
#include "HttpClient.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace tandrel::http {

// State an asynchronous request shares between its worker, the user-interface
// thread and the handle the caller holds.
struct AsyncShared {
  std::mutex mutex;
  std::condition_variable changed;
  bool abandoned = false;
  bool finished = false;  // the worker is done and may be joined

  void Abandon();
};

// The caller's handle: destroying it abandons the request.
class SharedAsyncRequest final : public AsyncRequest {
 public:
  explicit SharedAsyncRequest(std::shared_ptr<AsyncShared> shared) : shared_(std::move(shared)) {}
  ~SharedAsyncRequest() override { Abandon(); }
  void Abandon() override { shared_->Abandon(); }

 private:
  std::shared_ptr<AsyncShared> shared_;
};

// The worker's side: hands each report to the user-interface thread and waits for it.
class AsyncWorker final : public TransferHooks {
 public:
  AsyncWorker(std::shared_ptr<AsyncShared> shared, Dispatcher& dispatcher, AsyncHandler& handler);

  // Runs the request (which throws Error when no response came) and reports its
  // end; then the worker may be joined.
  void Run(const std::function<Response(TransferHooks&)>& request);

  bool OnBodyStart(std::int64_t total, std::int64_t received) override { return Progress(total, received); }
  bool OnChunk(std::int64_t total, std::int64_t received) override { return Progress(total, received); }
  bool Cancelled() override;

 private:
  bool Progress(std::int64_t total, std::int64_t received);
  // Runs report on the user-interface thread unless the request is abandoned first;
  // waits until it has run. False when it was abandoned.
  bool OnUiThread(const std::function<void()>& report);

  std::shared_ptr<AsyncShared> shared_;
  Dispatcher& dispatcher_;
  AsyncHandler& handler_;
};

}  // namespace tandrel::http
