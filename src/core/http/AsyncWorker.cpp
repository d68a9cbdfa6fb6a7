#include "AsyncWorker.h"

namespace tandrel::http {

void AsyncShared::Abandon() {
  std::lock_guard lock(mutex);
  abandoned = true;
  changed.notify_all();
}

AsyncWorker::AsyncWorker(std::shared_ptr<AsyncShared> shared, Dispatcher& dispatcher, AsyncHandler& handler)
    : shared_(std::move(shared)), dispatcher_(dispatcher), handler_(handler) {}

void AsyncWorker::Run(const std::function<Response(TransferHooks&)>& request) {
  try {
    Response response = request(*this);
    OnUiThread([&] { handler_.OnRequestCompleted(std::move(response)); });
  } catch (const std::exception& e) {
    const std::string message = e.what();
    OnUiThread([&] { handler_.OnRequestError(message); });
  }
  std::lock_guard lock(shared_->mutex);
  shared_->finished = true;
}

bool AsyncWorker::Cancelled() {
  std::lock_guard lock(shared_->mutex);
  return shared_->abandoned;
}

bool AsyncWorker::Progress(std::int64_t total, std::int64_t received) {
  bool abort = false;
  const bool delivered = OnUiThread([&] { handler_.OnReceiveData(total, received, abort); });
  return delivered && !abort;
}

bool AsyncWorker::OnUiThread(const std::function<void()>& report) {
  auto ran = std::make_shared<bool>(false);
  {
    std::lock_guard lock(shared_->mutex);
    if (shared_->abandoned) return false;
  }
  // The task may run after the worker stopped waiting; it then touches nothing of
  // the worker's, because an abandoned request runs no report.
  dispatcher_.Post([shared = shared_, ran, &report] {
    bool abandoned;
    {
      std::lock_guard lock(shared->mutex);
      abandoned = shared->abandoned;
    }
    if (!abandoned) report();
    std::lock_guard lock(shared->mutex);
    *ran = true;
    shared->changed.notify_all();
  });
  std::unique_lock lock(shared_->mutex);
  shared_->changed.wait(lock, [&] { return *ran || shared_->abandoned; });
  return *ran && !shared_->abandoned;
}

}  // namespace tandrel::http
