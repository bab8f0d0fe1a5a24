// Speed of the key-lookup core on realistic key-database pages of 1 MB and 10 MB, beside a
// plain memmem scan for the two markers over the same bytes (the speed-of-memory reference).
#include <cstring>
#include <string>

#include <benchmark/benchmark.h>

#include "lookup/key_text.h"
#include "lookup/percent_decode.h"

namespace tonvia {
namespace {

constexpr char kPrefix[] = "<div class=\"text\">";
constexpr char kSuffix[] = "<br/>";

// A page of the requested size: markup around thousands of key paragraphs, each holding
// "基调" and a "《" title, in code page 936 bytes as the decoded page has them.
struct Page {
  Text text;
  int paragraphs = 0;
};

Page MakePage(std::size_t size) {
  Page page;
  page.text = "<html><head><title>\xB5\xE7\xD2\xF4</title></head><body>\n";
  while (page.text.size() < size) {
    const std::string n = std::to_string(page.paragraphs);
    page.text += "<div class=\"item\"><h3><a href=\"/dianyin_" + n + ".html\">《歌曲" + n +
                 "》</a></h3>\n" + kPrefix + "《歌曲" + n + "》 原唱基调：C调，翻唱基调：D调\r\n"
                 "男声建议降两个半音，女声原调。副歌部分音域较高，注意换气。" + kSuffix +
                 "<span class=\"meta\">2026-12-11</span></div>\n";
    ++page.paragraphs;
  }
  page.text += "</body></html>\n";
  return page;
}

// The same page as the site may send it: every byte of 0x80 or above percent-escaped.
Text Escape(const Text& text) {
  static const char kHex[] = "0123456789ABCDEF";
  Text out;
  out.reserve(text.size() * 2);
  for (unsigned char byte : text) {
    if (byte >= 0x80) {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

const Page& PageOf(std::int64_t megabytes) {
  static const Page oneMegabyte = MakePage(1 << 20);
  static const Page tenMegabytes = MakePage(10 << 20);
  return megabytes == 1 ? oneMegabyte : tenMegabytes;
}

void BM_MarkerScanReference(benchmark::State& state) {
  const Page& page = PageOf(state.range(0));
  const char* begin = page.text.data();
  const char* end = begin + page.text.size();
  const std::size_t prefixLength = std::strlen(kPrefix);
  const std::size_t suffixLength = std::strlen(kSuffix);
  for (auto _ : state) {
    int found = 0;
    const char* at = begin;
    while (const void* prefix = memmem(at, end - at, kPrefix, prefixLength)) {
      at = static_cast<const char*>(prefix) + prefixLength;
      const void* suffix = memmem(at, end - at, kSuffix, suffixLength);
      if (suffix == nullptr) break;
      at = static_cast<const char*>(suffix) + suffixLength;
      ++found;
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(state.iterations() * page.text.size());
}

void BM_ExtractJoinInsert(benchmark::State& state) {
  const Page& page = PageOf(state.range(0));
  for (auto _ : state) {
    TextArray keyTexts;
    ExtractBetweenMarkers(page.text, kPrefix, kSuffix, keyTexts);
    Text results = InsertBeforeEach(JoinKeyTexts(keyTexts), kTitleBracket, kTitleBreak,
                                    kTitleBreakLimit, true);
    benchmark::DoNotOptimize(HasKeyWord(results));
    // Fewer paragraphs than the page holds means the engine gave up part-way.
    if (keyTexts.size() != static_cast<std::size_t>(page.paragraphs)) {
      state.SkipWithError("extraction stopped early");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * page.text.size());
  state.counters["paragraphs"] = page.paragraphs;
}

// A page whose paragraphs all end in "<br>": every prefix marker lacks its suffix, so the
// extraction finds nothing; its time must still grow only linearly with the page.
void BM_ExtractWithoutSuffix(benchmark::State& state) {
  Text page = PageOf(state.range(0)).text;
  for (std::size_t at = page.find(kSuffix); at != Text::npos; at = page.find(kSuffix, at)) {
    page.replace(at, std::strlen(kSuffix), "<br>");
  }
  for (auto _ : state) {
    TextArray keyTexts;
    ExtractBetweenMarkers(page, kPrefix, kSuffix, keyTexts);
    benchmark::DoNotOptimize(keyTexts);
  }
  state.SetBytesProcessed(state.iterations() * page.size());
}

void BM_PercentDecodePlain(benchmark::State& state) {
  const Page& page = PageOf(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(PercentDecode(page.text));
  state.SetBytesProcessed(state.iterations() * page.text.size());
}

void BM_PercentDecodeEscaped(benchmark::State& state) {
  const Text escaped = Escape(PageOf(state.range(0)).text);
  for (auto _ : state) benchmark::DoNotOptimize(PercentDecode(escaped));
  state.SetBytesProcessed(state.iterations() * escaped.size());
}

BENCHMARK(BM_MarkerScanReference)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractJoinInsert)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractWithoutSuffix)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PercentDecodePlain)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PercentDecodeEscaped)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tonvia

BENCHMARK_MAIN();
