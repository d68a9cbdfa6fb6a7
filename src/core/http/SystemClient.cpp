#include "SystemClient.h"

#include "AsyncWorker.h"
#include "Exchange.h"
#include "platform/HttpTransport.h"

#include <mutex>
#include <thread>

namespace tandrel::http {
namespace {

// One GET, run to its end on the calling thread.
Response Run(platform::HttpTransport& transport, const std::string& url, const Headers& headers,
             const Timeouts& timeouts, std::uint64_t maxBody, bool withDeadline, TransferHooks& hooks,
             BodySink* sink = nullptr) {
  Exchange exchange(timeouts, maxBody, withDeadline, hooks, sink);
  const platform::HttpEnd end = transport.Get(Exchange::Request(url, headers, timeouts), exchange);
  return exchange.Finish(end);
}

}  // namespace

struct SystemClient::Impl {
  Dispatcher* dispatcher;
  std::unique_ptr<platform::HttpTransport> transport;
  Timeouts timeouts;
  std::mutex workersMutex;
  std::vector<std::pair<std::shared_ptr<AsyncShared>, std::thread>> workers;

  void JoinFinished() {
    std::lock_guard lock(workersMutex);
    std::erase_if(workers, [](auto& w) {
      bool finished;
      {
        std::lock_guard l(w.first->mutex);
        finished = w.first->finished;
      }
      if (finished) w.second.join();
      return finished;
    });
  }
};

SystemClient::SystemClient(Dispatcher* dispatcher, const platform::TransportOptions& options)
    : impl_(std::make_unique<Impl>()) {
  impl_->dispatcher = dispatcher;
  impl_->transport = platform::MakeHttpTransport(options);
}

SystemClient::~SystemClient() {
  for (auto& [shared, thread] : impl_->workers) {
    shared->Abandon();
    thread.join();
  }
}

void SystemClient::SetTimeouts(Timeouts timeouts) { impl_->timeouts = timeouts; }

Response SystemClient::Get(const std::string& url, const Headers& headers, std::uint64_t maxBody) {
  NoHooks hooks;
  return Run(*impl_->transport, url, headers, impl_->timeouts, maxBody, true, hooks);
}

std::unique_ptr<AsyncRequest> SystemClient::GetAsync(const std::string& url, const Headers& headers,
                                                     AsyncHandler& handler, std::uint64_t maxBody,
                                                     std::shared_ptr<BodySink> sink) {
  if (!impl_->dispatcher) throw Error("This HTTP client has no dispatcher for asynchronous requests");
  impl_->JoinFinished();
  auto shared = std::make_shared<AsyncShared>();
  std::thread worker([shared, dispatcher = impl_->dispatcher, &handler, url, headers, timeouts = impl_->timeouts,
                      maxBody, transport = impl_->transport.get(), sink] {
    AsyncWorker(shared, *dispatcher, handler).Run([&](TransferHooks& hooks) {
      return Run(*transport, url, headers, timeouts, maxBody, false, hooks, sink.get());
    });
  });
  std::lock_guard lock(impl_->workersMutex);
  impl_->workers.emplace_back(shared, std::move(worker));
  return std::make_unique<SharedAsyncRequest>(std::move(shared));
}

}  // namespace tandrel::http
