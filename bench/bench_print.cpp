// Printing bound two-sided cards: 1,000 and 10,000 cards, each side with a
// text, a Code 128 and a QR Code filled from its data row, front beside back,
// five to a letter sheet, into a PDF file, with 1 and 8 workers filling the
// rows. Reports the wall time and the CPU time of the whole process (every
// thread), the CPU time per card and that of the one painting thread, the
// peak memory the job added to the loaded rows, the sheets pdfinfo counts,
// and the barcodes zbarimg decodes on sampled sheets rendered by pdftoppm at
// 300 dpi.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "GuiBenchMain.h"
#include "barcode/designer/BarcodeSettings.h"
#include "platform/ChildProcess.h"
#include "production/print/BoundRows.h"

namespace {

double residentMegabytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

double cpuSeconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

QString run(const QString& program, const QStringList& arguments) {
  const platform::ChildResult child = platform::runChild(program, arguments);
  return child.exitCode == 0 ? QString::fromUtf8(child.out) : QString();
}

SKTGraphicPtr barcodeObject(const char* symbology, bool twoD, QRectF bounds) {
  auto code = SKTGraphic::makeGraphic(GraphicKind::Barcode);
  code->setBounds(bounds);
  code->linear_or_2d = twoD ? 1 : 0;
  code->barcode_font_index = barcode::symbologyNames().indexOf(symbology);
  code->data_source_type = 1;
  code->batch_list_name = QStringLiteral("Codes");
  code->linear_width_val = 10.0f;
  code->qr_size_val = 66;
  code->show_hide_hdr = 1;
  code->show_hide_ftr = 1;
  return code;
}

// A side of 252 x 144 points (3.5 x 2 inches): a name, a Code 128 and a QR Code.
SKTGraphicList side() {
  auto name = SKTGraphic::makeGraphic(GraphicKind::Text);
  name->setBounds(QRectF(8, 6, 236, 22));
  name->data_source_type = 1;
  name->batch_list_name = QStringLiteral("Names");
  return {name, barcodeObject("Code 128", false, QRectF(8, 34, 150, 100)),
          barcodeObject("QR Code", true, QRectF(165, 40, 80, 80))};
}

// A card with such a side at the front and at the back.
std::shared_ptr<CardSnapshot> design() {
  auto card = std::make_shared<CardSnapshot>();
  card->frontContext.size = QSizeF(252, 144);
  card->frontContext.cardBase = [](QPainter& painter, const QRectF& rect) {
    painter.fillRect(rect, Qt::white);
  };
  card->backContext = card->frontContext;
  card->front = side();
  card->back = side();
  return card;
}

void BM_PrintBoundCards(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const int workers = static_cast<int>(state.range(1));
  // The rows as the binding loads them: two data series of `count` lines.
  auto rows = std::make_shared<production::BindingRows>();
  rows->useSeries = true;
  rows->seriesRows = count;
  QStringList names, codes;
  for (int i = 1; i <= count; ++i) {
    names << QStringLiteral("Guest number %1").arg(i);
    codes << QStringLiteral("T%1").arg(i, 6, 10, QLatin1Char('0'));
  }
  rows->series.insert("Names", names);
  rows->series.insert("Codes", codes);
  const auto card = design();
  production::SheetLayout layout;  // letter paper
  layout.Left_Mar = layout.Rite_Mar = layout.Top_Mar = layout.Bot_Mar = 18;
  layout.label_width = 2 * 252;
  layout.label_hight = 144;
  layout.Print_Row = 5;
  layout.Print_Col = 1;
  layout.Print_Card_Side = QStringLiteral("BOTH");
  layout.Print_Card_Algn = QStringLiteral("L");
  layout.label_align_val = 5;
  layout.Total_Label = count;
  // QUVO_BENCH_OUT keeps the PDF and the sampled sheets for a look.
  QTemporaryDir temporary;
  const QDir dir(qEnvironmentVariableIsSet("QUVO_BENCH_OUT") ? qEnvironmentVariable("QUVO_BENCH_OUT")
                                                             : temporary.path());
  const QString pdf = dir.filePath("cards.pdf");
  const double before = residentMegabytes();
  std::int64_t pages = 0;
  double cpu = 0, painter = 0;
  for (auto _ : state) {
    const double cpuBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const double painterBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    production::DesignSheetCards cards(card, count, production::boundRowFiller(rows), true, true, workers);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()));
    pages = production::paintSheetJob(printer, layout, cards, layout.pageCount()).pagesDone;
    if (cards.failures() != 0) state.SkipWithError("a card could not be filled");
    painter += cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - painterBefore;
    cpu += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
  }
  state.counters["cpu_ms_per_card"] = 1000.0 * cpu / static_cast<double>(count * state.iterations());
  state.counters["painter_cpu_s"] = painter / static_cast<double>(state.iterations());
  state.counters["sheets"] = static_cast<double>(pages);
  state.counters["peak_MB_over_rows"] = peakMegabytes() - before;
  state.counters["pdf_MB"] = static_cast<double>(QFile(pdf).size()) / (1024.0 * 1024.0);
  const QRegularExpression pagesLine("Pages:\\s*(\\d+)");
  state.counters["pdfinfo_pages"] = pagesLine.match(run("pdfinfo", {pdf})).captured(1).toDouble();
  // Sampled sheets: the first, the middle and the last, each with five cards
  // of four barcodes, read side by side.
  int decoded = 0;
  QStringList cardFiles;
  for (std::int64_t page : {std::int64_t{1}, (pages + 1) / 2, pages}) {
    const QString png = dir.filePath(QStringLiteral("page-%1").arg(page));
    run("pdftoppm", {"-png", "-r", "300", "-f", QString::number(page), "-l", QString::number(page),
                     "-singlefile", pdf, png});
    const QImage sheet(png + ".png");
    for (int cell = 0; cell < layout.cellsPerPage(); ++cell) {
      const auto place = layout.placeCard(layout.cellRect(cell + 1, 1), QSizeF(252, 144));
      for (const QRectF& points : {place.front, place.back}) {
        const QRect pixels = QRectF(points.topLeft() * 300 / 72, points.size() * 300 / 72).toAlignedRect();
        cardFiles << dir.filePath(QStringLiteral("page-%1-side-%2.png").arg(page).arg(cardFiles.size() + 1));
        sheet.copy(pixels).save(cardFiles.last());
      }
    }
  }
  const QString found = run("zbarimg", QStringList{"-q"} + cardFiles);
  decoded = static_cast<int>(
      found.count(QRegularExpression("^(QR-Code|CODE-128):T\\d{6}$", QRegularExpression::MultilineOption)));
  state.counters["decoded_of_60"] = decoded;
}

}  // namespace

// Arguments: cards, workers.
BENCHMARK(BM_PrintBoundCards)
    ->Args({1000, 8})
    ->Args({10000, 1})
    ->Args({10000, 8})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char** argv) {
  return runGuiBenchmarks<QApplication>(argc, argv);
}
