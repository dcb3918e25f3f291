#include "model/ColorText.h"
#include "model/PaletteCodec.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

// Colours as the editor makes them (arbitrary doubles in 0..1), names of realistic length,
// every third colour without alpha.
Palette makePalette(int count) {
    std::mt19937_64 random(42);
    std::uniform_real_distribution<double> component(0.0, 1.0);
    Palette palette{QStringLiteral("Benchmark palette"), {}};
    palette.palColors.reserve(count);
    for (int i = 0; i < count; ++i) {
        SerializableColor color{component(random), component(random), component(random),
                                std::nullopt};
        if (i % 3 != 0)
            color.alpha = component(random);
        palette.palColors.append(PaletteColor{QStringLiteral("Colour number %1").arg(i), color});
    }
    return palette;
}

void encode(benchmark::State &state) {
    const Palette palette = makePalette(static_cast<int>(state.range(0)));
    qsizetype bytes = 0;
    for (auto _ : state) {
        const std::optional<QByteArray> json = PaletteCodec::encode(palette);
        bytes += json->size();
        benchmark::DoNotOptimize(json->constData());
    }
    state.SetBytesProcessed(bytes);
}

// The check a load makes on a file that needs no rewrite.
void encodesTo(benchmark::State &state) {
    const Palette palette = makePalette(static_cast<int>(state.range(0)));
    const QByteArray json = *PaletteCodec::encode(palette);
    for (auto _ : state) {
        if (!PaletteCodec::encodesTo(palette, json))
            state.SkipWithError("no match");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * json.size());
}

void decode(benchmark::State &state) {
    const QByteArray json = *PaletteCodec::encode(makePalette(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        const PaletteCodec::DecodeResult result = PaletteCodec::decode(json);
        if (!result.palette)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(result.palette->palColors.constData());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * json.size());
}

void formatColorCall(benchmark::State &state) {
    const QString &format = formats().at(state.range(0));
    const SerializableColor color{0.8, 0.4, 0.2, 0.5};
    state.SetLabel(format.toStdString());
    for (auto _ : state) {
        const QString text = formatColor(format, color);
        benchmark::DoNotOptimize(text.constData());
    }
}

} // namespace

BENCHMARK(encode)->Arg(50)->Arg(5000);
BENCHMARK(encodesTo)->Arg(50)->Arg(5000);
BENCHMARK(decode)->Arg(50)->Arg(5000);
BENCHMARK(formatColorCall)->DenseRange(0, 5);

BENCHMARK_MAIN();
