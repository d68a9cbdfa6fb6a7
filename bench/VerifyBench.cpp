// What a signed release adds to a box's start: the record's signature checked and
// its fields read (the demo site's five launchers), and the list's SHA-256, for
// the demo's list and for a 10,000-entry one (about 2.6 MB).
#include "OperatorKey.h"
#include "core/trust/ReleaseRecord.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tandrel;

struct Signed {
  platform::P256PublicKey key;
  std::string record;
};

const Signed& DemoRecord() {
  static const Signed made = [] {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("tandrel-bench-" + std::to_string(::getpid()) + ".pem");
    const admin::SigningKey key = admin::SigningKey::Generate(file);
    std::filesystem::remove(file);
    trust::ReleaseRecord record;
    record.siteId = std::string(32, 'a');
    record.serial = 1;
    record.signedAt = "2026-12-11T00:00:00Z";
    record.keyFingerprint = trust::KeyFingerprint(key.PublicKey());
    for (const char* name :
         {"corvessa_classic", "corvessa_legend", "corvessa_blaze", "corvessa_storm", "corvessa_dawn"})
      record.launchers[name] = {16614040, {1}};
    const std::string body = trust::RecordBody(record);
    return Signed{
        key.PublicKey(),
        trust::SignedRecord(body, key.Sign({reinterpret_cast<const std::uint8_t*>(body.data()), body.size()}))};
  }();
  return made;
}

void BM_VerifyRecord(benchmark::State& state) {
  const Signed& made = DemoRecord();
  const std::array<platform::P256PublicKey, 1> keys{made.key};
  for (auto _ : state) {
    auto reading = trust::ReadRecord(made.record, keys);
    if (!reading.record) state.SkipWithError("the record did not verify");
    benchmark::DoNotOptimize(reading);
  }
}
BENCHMARK(BM_VerifyRecord)->Unit(benchmark::kMillisecond);

// range(0): the list's size in bytes (the demo's 7.9 KB, a 10,000-entry 2.6 MB).
void BM_ListSha256(benchmark::State& state) {
  const std::vector<std::uint8_t> list(static_cast<std::size_t>(state.range(0)), 'x');
  for (auto _ : state) benchmark::DoNotOptimize(trust::EntryOf(list));
}
BENCHMARK(BM_ListSha256)->Arg(7921)->Arg(2600000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
