// Pointer events reach the controller for every movement anywhere on the desktop, and the view
// paints every frame of its spring and, while open, its rows: all must stay cheap (a frame of the
// open overlay with seven rows well under 2 ms of CPU). Heap allocations are counted through a
// replaced operator new; a pointer event must make none.
#include "TempPreferences.h"

#include "core/EventBus.h"
#include "core/LinkGate.h"
#include "core/ModuleContent.h"
#include "core/ModuleRegistry.h"
#include "core/NewsGate.h"
#include "core/StatusLine.h"
#include "core/TimerScheduler.h"
#include "core/prefs/AppPreferences.h"
#include "notch/NotchController.h"
#include "notch/NotchModel.h"
#include "notch/NotchView.h"
#include "platform/headless/HeadlessDesktop.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations { 0 };
}

void *operator new(std::size_t size)
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void operator delete(void *memory) noexcept
{
    std::free(memory);
}

void operator delete(void *memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

struct Overlay {
    Overlay()
    {
        const ScreenInfo screen = HeadlessScreenProvider::plain(QRectF(0, 0, 1920, 1080));
        screens.setScreens({ screen }, screen);
        AppPreferences::registerDefaults(*prefs.store);
        controller = std::make_unique<NotchController>(
            news, content, statusLine, links, *prefs.store, scheduler, screens, pointer, windowSupport, reduceMotion);
    }

    EventBus bus;
    TempPreferences prefs;
    ModuleRegistry registry { *prefs.store };
    ModuleContent content { registry };
    TimerScheduler scheduler;
    StatusLine statusLine { content, scheduler };
    LinkGate links;
    NewsGate news { bus, registry, *prefs.store, scheduler };
    HeadlessScreenProvider screens;
    HeadlessPointerMonitor pointer;
    HeadlessPanelWindowSupport windowSupport;
    HeadlessReduceMotion reduceMotion;
    std::unique_ptr<NotchController> controller;
};

// Moves between two points per iteration; reports allocations per event and fails on any.
void movePointer(benchmark::State &state, Overlay &overlay, QPointF a, QPointF b)
{
    overlay.pointer.moveTo(a);
    overlay.pointer.moveTo(b); // first scheduling of a pending change happens outside the count
    const long before = allocations.load();
    long events = 0;
    for (auto _ : state)
        overlay.pointer.moveTo(++events % 2 ? a : b);
    const double perEvent = double(allocations.load() - before) / double(events);
    state.counters["allocs/event"] = perEvent;
    state.SetItemsProcessed(events);
    if (perEvent > 0)
        state.SkipWithError("a pointer event allocated on the heap");
}

// The common case: the pointer moves somewhere else on the desktop.
void PointerEventElsewhere(benchmark::State &state)
{
    Overlay overlay;
    movePointer(state, overlay, { 100, 100 }, { 400, 300 });
}

// Resting on the collapsed notch: every event reads the hover preference and restarts the
// pending opening.
void PointerEventHoveringNotch(benchmark::State &state)
{
    Overlay overlay;
    movePointer(state, overlay, { 960, 5 }, { 961, 5 });
}

// The open overlay and a pointer outside it: every event restarts the pending close.
void PointerEventLeavingOpenOverlay(benchmark::State &state)
{
    Overlay overlay;
    overlay.pointer.clickAt({ 960, 10 }); // pin open
    overlay.pointer.clickAt({ 960, 10 }); // close: hover opening below keeps it open
    overlay.controller->flash(QStringLiteral("news"), Color::blue());
    movePointer(state, overlay, { 100, 100 }, { 400, 300 });
}

// Rows as a module shows them: a title, a detail with an age, a dot and a page.
QList<ModuleRow> sampleRows(int count)
{
    QList<ModuleRow> rows;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < count; ++i)
        rows.append(ModuleRow { QStringLiteral("CI \u00b7 repository-%1").arg(i),
            QStringLiteral("feature/branch-%1 \u00b7 l\u00e4uft").arg(i), now.addSecs(-60 * i),
            ModuleStatus::Severity::Active, QUrl(QStringLiteral("https://github.com/o/r/actions/runs/%1").arg(i)) });
    return rows;
}

void paintFrames(benchmark::State &state, int rows, int animationTime)
{
    NotchModel model;
    model.setRows(sampleRows(rows));
    HeadlessReduceMotion reduceMotion;
    LinkGate links;
    NotchView view(model, links, QSizeF(220, 32), reduceMotion);
    const QSize size = view.expandedSize().toSize();
    view.resize(size);
    model.setExpanded(true);
    view.animation().setCurrentTime(animationTime);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paint(painter);
    }
}

// Half way open with three rows: both contents fade, the shape grows.
void AnimationFrame(benchmark::State &state)
{
    paintFrames(state, 3, 120);
}

// The open overlay at its tallest, as it is redrawn when an age changes.
void ExpandedFrameSevenRows(benchmark::State &state)
{
    paintFrames(state, 7, 5000);
}

} // namespace

BENCHMARK(PointerEventElsewhere)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(PointerEventHoveringNotch)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(PointerEventLeavingOpenOverlay)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(AnimationFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ExpandedFrameSevenRows)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
