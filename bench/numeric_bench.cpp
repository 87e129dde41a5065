// The numeric core and the calculate command, without the window.

#include "core/calculate.h"
#include "core/conversions.h"
#include "core/runtime_error.h"
#include "core/text_table.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tavrel::core;

void textToNumber(benchmark::State &state, const std::u16string &text)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(parseNumber(text));
}
BENCHMARK_CAPTURE(textToNumber, whole, std::u16string(u"85"));
BENCHMARK_CAPTURE(textToNumber, fraction, std::u16string(u"88.9"));
BENCHMARK_CAPTURE(textToNumber, full_width, std::u16string(u"８５．５"));
BENCHMARK_CAPTURE(textToNumber, many_digits, std::u16string(u"90.123456789"));
BENCHMARK_CAPTURE(textToNumber, megabyte_refused, std::u16string(1 << 20, u'x'));
BENCHMARK_CAPTURE(textToNumber, megabyte_of_digits, std::u16string(1 << 20, u'9'));

void singleToText(benchmark::State &state, float value)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tavrel::core::singleToText(value));
}
BENCHMARK_CAPTURE(singleToText, whole, 92.0f);
BENCHMARK_CAPTURE(singleToText, mean, 263.0f / 3.0f);
BENCHMARK_CAPTURE(singleToText, huge, 1e38f);

void calculate(benchmark::State &state)
{
    TextTable table{u"85", u"90", u"78", u"92", u"88"};
    for (auto _ : state) {
        Command1_Click(table);
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(calculate);

void calculateRefusingAScore(benchmark::State &state)
{
    TextTable table{u"85", u"90", u"abc", u"92", u"88"};
    for (auto _ : state) {
        try {
            Command1_Click(table);
        } catch (const RuntimeError &error) {
            benchmark::DoNotOptimize(error.message());
        }
    }
}
BENCHMARK(calculateRefusingAScore);

} // namespace

BENCHMARK_MAIN();
