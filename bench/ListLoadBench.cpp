// Loading a 10,000-entry server list (about 2 MB): decrypt, decode and read it as
// the box does, next to the pair it is judged by: a plain AES-128-CBC decryption
// with OpenSSL and a RapidJSON DOM parse of the plain text. With
// TANDREL_BENCH_BODY set, the encrypted body is also written there, so the bench
// script can time `openssl enc -d` on the same bytes.
#include "core/ServerListLoader.h"
#include "core/crypto.h"
#include "core/uConfig.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <rapidjson/document.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

namespace {

using namespace tandrel;

const AesKey kKey = {7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1, 7, 1};
const AesKey kIv = {3, 5, 3, 5, 3, 5, 3, 5, 3, 5, 3, 5, 3, 5, 3, 5};

const std::string& PlainList() {
  static const std::string text = [] {
    std::string t = R"({"ServerList":{"FListHelper":[)";
    for (int i = 0; i < 10000; ++i) {
      if (i) t += ',';
      t += R"({"ServerName":"赤焰)" + std::to_string(i) +
           R"(区 · 龙城","LauncherName":"corvessa_classic",)"
           R"("Url":"https://www.example.com/zone/)" +
           std::to_string(i) +
           R"(",)"
           R"("BriefIntroduction":"全新版本火爆开启 · 首充送神兵",)"
           R"("BeginTime":"12月31日上午11:00","Md5":"0123456789abcdef0123456789abcdef"})";
    }
    return t + "]}}";
  }();
  return text;
}

const std::vector<std::uint8_t>& Body() {
  static const std::vector<std::uint8_t> body = [] {
    const auto b = EncryptServerList(std::vector<std::uint8_t>(PlainList().begin(), PlainList().end()), kKey, kIv);
    if (const char* path = std::getenv("TANDREL_BENCH_BODY")) {
      std::ofstream(path, std::ios::binary)
          .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    return b;
  }();
  return body;
}

// A load ends with its result; letting the result go is timed apart, with
// freeTimed, since a list is only let go when the next replaces it.
template <typename Result, typename Load>
void TimeLoad(benchmark::State& state, Load load) {
  const bool freeTimed = state.range(0) != 0;
  for (auto _ : state) {
    std::optional<Result> result;
    load(state, result);
    if (!freeTimed) state.PauseTiming();
    result.reset();
    if (!freeTimed) state.ResumeTiming();
  }
}

void BM_LoadList(benchmark::State& state) {
  TimeLoad<TConfig>(state, [](benchmark::State& s, std::optional<TConfig>& config) {
    s.PauseTiming();  // the HTTP client hands over a body of its own
    std::vector<std::uint8_t> body = Body();
    s.ResumeTiming();
    config.emplace(ReadDocument(DecryptServerList(std::move(body), kKey, kIv)));
    benchmark::DoNotOptimize(config->ServerList().size());
  });
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Body().size()));
}
BENCHMARK(BM_LoadList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpensslCbcDecrypt(benchmark::State& state) {
  std::vector<std::uint8_t> out(Body().size() + 16);
  for (auto _ : state) {
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int n = 0, tail = 0;
    EVP_DecryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, kKey.data(), kIv.data());
    EVP_DecryptUpdate(ctx, out.data(), &n, Body().data(), static_cast<int>(Body().size()));
    EVP_DecryptFinal_ex(ctx, out.data() + n, &tail);
    EVP_CIPHER_CTX_free(ctx);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_OpensslCbcDecrypt)->Unit(benchmark::kMillisecond);

void BM_RapidJsonDom(benchmark::State& state) {
  TimeLoad<rapidjson::Document>(state, [](benchmark::State&, std::optional<rapidjson::Document>& document) {
    document.emplace();
    document->Parse(PlainList().data(), PlainList().size());
    benchmark::DoNotOptimize(document->IsObject());
  });
}
BENCHMARK(BM_RapidJsonDom)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
