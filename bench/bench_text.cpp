// A text without spaces (a pasted code, a data value gone wrong) of 20,000,
// 200,000 and 2,000,000 characters in a fixed box of 300 x 200 points, 14 pt
// Times: one drawing on the canvas, the query whether the box cuts the text,
// and Natural Size at the box's width (a text that tall is measured down to
// the largest height a card object may have). The time should grow no faster
// than the length: the box shows the same lines whatever follows them.
// Also the text tab's editor showing the characters of such a text: set
// straight into the editor, and shown by the tab as it is when the text is
// selected, bound to a series, changed by undo or a script (the characters
// shown, then selected whole, then painted). And the name text of a run's
// cards in names of many scripts.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "GuiBenchMain.h"
#include "core/CardHost.h"
#include "core/SKTText.h"
#include "core/render/MissingGlyphs.h"
#include "mainwindow/panels/TextEditingTab.h"

namespace {

QString unbroken(qsizetype length) {
  QString chars;
  chars.reserve(length);
  for (qsizetype i = 0; i < length; ++i) chars += QChar(char16_t(u'a' + i % 26));
  return chars;
}

std::shared_ptr<SKTText> unbrokenText(qsizetype length) {
  auto text = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  text->_bounds = QRectF(40, 40, 300, 200);
  text->Text_contents()->string = unbroken(length);
  text->text_ctrl_font = CardFont{QStringLiteral("TimesNewRomanPSMT"), 14};
  text->txt_clr = Qt::black;
  return text;
}

void lengths(benchmark::internal::Benchmark* b) {
  b->ArgName("chars")->Arg(20000)->Arg(200000)->Arg(2000000)->Unit(benchmark::kMillisecond);
}

void BM_DrawUnbrokenText(benchmark::State& state) {
  CardHost host;
  ScopedCardHost scope(host);
  auto text = unbrokenText(state.range(0));
  QImage canvas(1000, 700, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    text->drawContentsInView(painter, false);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DrawUnbrokenText)->Apply(lengths);

void BM_IsUnbrokenTextCut(benchmark::State& state) {
  auto text = unbrokenText(state.range(0));
  for (auto _ : state)
    if (!text->isContentsCut()) state.SkipWithError("the box shows the whole text");
}
BENCHMARK(BM_IsUnbrokenTextCut)->Apply(lengths);

void BM_NaturalSizeOfUnbrokenText(benchmark::State& state) {
  auto text = unbrokenText(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(text->naturalSize());
  state.counters["height"] = text->naturalSize().height();
}
BENCHMARK(BM_NaturalSizeOfUnbrokenText)->Apply(lengths);

// A name text as a run draws it on every card, in an upright and in an
// italic face (the wizard's default): the names of a guest list in the
// scripts people write them in, drawn, asked whether the box cuts them and
// checked for characters that no installed font has.
void BM_DrawNamesOfAGuestList(benchmark::State& state) {
  CardHost host;
  ScopedCardHost scope(host);
  const QStringList names = {"Zoë Ødegård", "王小明",   "佐藤さくら", "김민준",       "Σοφία Παππά",
                             "Иван Петров", "أحمد علي", "דוד לוי",    "Łucja Dvořák", "Mỹ Nguyễn"};
  auto text = std::static_pointer_cast<SKTText>(SKTGraphic::makeGraphic(GraphicKind::Text));
  text->_bounds = QRectF(40, 40, 300, 60);
  text->text_ctrl_font = CardFont{
      state.range(0) ? QStringLiteral("TimesNewRomanPS-ItalicMT") : QStringLiteral("TimesNewRomanPSMT"), 24};
  text->txt_clr = Qt::black;
  QImage canvas(400, 200, QImage::Format_ARGB32_Premultiplied);
  qsizetype row = 0;
  for (auto _ : state) {
    text->Text_contents()->string = names[row++ % names.size()];
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    text->drawContentsInView(painter, false);
    benchmark::DoNotOptimize(text->isContentsCut());
    benchmark::DoNotOptimize(text_look::charactersWithoutFont(text->drawnCharacters(), text->text_ctrl_font));
  }
}
BENCHMARK(BM_DrawNamesOfAGuestList)->ArgName("italic")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The text tab, shown at about the size the window gives it.
std::unique_ptr<TextEditingTab> shownTextTab() {
  auto tab = std::make_unique<TextEditingTab>();
  tab->resize(260, 300);
  tab->show();
  return tab;
}

void BM_ShowUnbrokenTextInEditor(benchmark::State& state) {
  const QString chars = unbroken(state.range(0));
  const auto tab = shownTextTab();
  for (auto _ : state) {
    tab->Text_value_Edit->setPlainText(chars);
    tab->Text_value_Edit->repaint();  // lays out what it shows
    state.PauseTiming();
    tab->Text_value_Edit->clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ShowUnbrokenTextInEditor)->Apply(lengths);

void BM_ShowUnbrokenTextInTextTab(benchmark::State& state) {
  // As the tab of a text object shows the text when it is bound to a series,
  // selected, or changed by undo or a script: the editor held the object's
  // former characters, selected whole.
  const QString chars = unbroken(state.range(0));
  const auto tab = shownTextTab();
  for (auto _ : state) {
    state.PauseTiming();
    tab->showText(QStringLiteral("Text here"));
    tab->Text_value_Edit->selectAll();
    state.ResumeTiming();
    tab->showText(chars);
    tab->Text_value_Edit->selectAll();
    tab->Text_value_Edit->repaint();
  }
}
BENCHMARK(BM_ShowUnbrokenTextInTextTab)->Apply(lengths);

}  // namespace

int main(int argc, char** argv) {
  return runGuiBenchmarks<QApplication>(argc, argv);
}
