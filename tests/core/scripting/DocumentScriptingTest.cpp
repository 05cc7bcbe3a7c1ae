// Scripting of a card document: collections, insertion and removal by
// collection index, range and relative specifiers, the scripting colours and
// widths with their refusals, undo of scripted changes, the colour value.
#include <gtest/gtest.h>

#include "core/SKTDocument.h"
#include "core/SKTLine.h"
#include "core/SKTText.h"
#include "core/Shape_Control.h"
#include "core/scripting/SKTDocumentScripting.h"
#include "core/scripting/SKTGraphicScripting.h"
#include "core/scripting/SKTScriptingColor.h"

namespace {

using Specifier = SKTObjectSpecifier;
using C = SKTScriptingCollection;
using Positions = std::optional<std::vector<int>>;

class DocumentScripting : public ::testing::Test {
 protected:
  SKTDocument doc;
  SKTDocumentScripting scripting{doc};
  // The front list [text, rectangle, line, ellipse].
  SKTGraphicPtr text = SKTGraphic::makeGraphic(GraphicKind::Text);
  SKTGraphicPtr rectangle = SKTGraphic::makeGraphic(GraphicKind::Shape);
  SKTGraphicPtr line = SKTGraphic::makeGraphic(GraphicKind::Line);
  SKTGraphicPtr ellipse = SKTGraphic::makeGraphic(GraphicKind::Shape);

  void SetUp() override {
    ellipse->Set_Shape_Type("C");
    doc.insertGraphics({text, rectangle, line, ellipse}, {0, 1, 2, 3});
  }
  Positions range(const QString& key, std::optional<Specifier> start, std::optional<Specifier> end) const {
    return scripting.indicesOfObjectsByEvaluatingObjectSpecifier(Specifier::range(key, start, end));
  }
  Positions relative(const QString& key, Specifier::Position position, const Specifier& base) const {
    return scripting.indicesOfObjectsByEvaluatingObjectSpecifier(Specifier::relative(key, position, base));
  }
};

TEST_F(DocumentScripting, CollectionsOfAMixedListAndInsertionByCollectionIndex) {
  const SKTGraphicList shapes{rectangle, ellipse};
  EXPECT_EQ(scripting.rectangles(), shapes);
  EXPECT_EQ(scripting.circles(), shapes);
  EXPECT_EQ(scripting.rectangles_round(), shapes);
  EXPECT_EQ(scripting.lines(), SKTGraphicList{line});
  EXPECT_EQ(scripting.textAreas(), SKTGraphicList{text});
  EXPECT_TRUE(scripting.images().empty());

  // lines has one element: index 1 appends to the front list.
  const SKTGraphicPtr newLine = SKTDocumentScripting::newScriptingObject(C::Lines);
  ASSERT_FALSE(scripting.insertObject(C::Lines, newLine, 1));
  EXPECT_EQ(doc.graphics().back(), newLine);
  EXPECT_EQ(newLine->scriptingContainer(), &doc);

  // Before the second rectangle: front position 3, in front of the ellipse.
  const SKTGraphicPtr circle = SKTDocumentScripting::newScriptingObject(C::Circles);
  EXPECT_EQ(circle->Get_shape_type(), "C");
  ASSERT_FALSE(scripting.insertObject(C::Rectangles, circle, 1));
  EXPECT_EQ(doc.graphics(), (SKTGraphicList{text, rectangle, line, circle, ellipse, newLine}));

  // Outside the collection: the collection's range error, nothing changes.
  const SKTGraphicList before = doc.graphics();
  const auto beyond =
      scripting.insertObject(C::Rectangles, SKTDocumentScripting::newScriptingObject(C::Rectangles), 4);
  ASSERT_TRUE(beyond);
  EXPECT_EQ(beyond->kind, SKTScriptError::Kind::Range);
  EXPECT_EQ(beyond->message(), "Could not find the given rectangle in the graphics.");
  EXPECT_EQ(scripting.removeObject(C::TextAreas, 1)->message(),
            "Could not find the given text area in the graphics.");
  EXPECT_EQ(scripting.removeObject(C::Lines, -1)->message(),
            "Could not find the given line in the graphics.");
  EXPECT_EQ(scripting.insertObject(C::RectanglesRound, circle, 0)->kind, SKTScriptError::Kind::ReadOnly);
  EXPECT_EQ(doc.graphics(), before);

  // Removal by collection index; both list edits are undoable.
  ASSERT_FALSE(scripting.removeObject(C::Circles, 2));
  EXPECT_EQ(doc.graphics(), (SKTGraphicList{text, rectangle, line, circle, newLine}));
  EXPECT_EQ(ellipse->scriptingContainer(), nullptr);
  doc.undo();
  EXPECT_EQ(doc.graphics(), before);
  doc.undo();
  doc.undo();
  EXPECT_EQ(doc.graphics(), (SKTGraphicList{text, rectangle, line, ellipse}));
}

TEST_F(DocumentScripting, RangeAndRelativeSpecifiers) {
  // From the first to the second rectangle, in either order.
  EXPECT_EQ(range("rectangles", Specifier::indexed("rectangles", 0), Specifier::indexed("rectangles", 1)),
            (std::vector<int>{0, 1}));
  EXPECT_EQ(range("rectangles", Specifier::indexed("rectangles", -1), Specifier::indexed("rectangles", 0)),
            (std::vector<int>{0, 1}));
  // A list key answers front positions; an open start is the front-most object;
  // an end given as a list stands for its last element.
  EXPECT_EQ(range("graphics", std::nullopt, Specifier::indexed("lines", 0)), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(range("textAreas", Specifier::indexed("rectangles", 0), Specifier::every("circles")),
            std::vector<int>{});
  EXPECT_EQ(
      range("lines", Specifier::indexed("graphics", 0),
            Specifier::range("graphics", Specifier::indexed("lines", 0), Specifier::indexed("circles", 1))),
      std::vector<int>{0});

  // The line after the text; the graphic before the line; nothing before the text.
  EXPECT_EQ(relative("lines", Specifier::Position::After, Specifier::indexed("textAreas", 0)),
            std::vector<int>{0});
  EXPECT_EQ(relative("graphics", Specifier::Position::Before, Specifier::indexed("lines", 0)),
            std::vector<int>{1});
  EXPECT_EQ(relative("circles", Specifier::Position::After, Specifier::every("textAreas")),
            std::vector<int>{0});
  EXPECT_EQ(relative("textAreas", Specifier::Position::Before, Specifier::indexed("graphics", 0)),
            std::vector<int>{});

  // What they cannot evaluate answers none.
  EXPECT_EQ(range("rectangles_round", Specifier::indexed("rectangles", 0), std::nullopt), std::nullopt);
  EXPECT_EQ(range("rectangles", std::nullopt, std::nullopt), std::nullopt);
  EXPECT_EQ(range("rectangles", Specifier::indexed("rectangles", 2), std::nullopt), std::nullopt);
  EXPECT_EQ(relative("lines", Specifier::Position::After, Specifier::indexed("nonsense", 0)), std::nullopt);
  EXPECT_EQ(scripting.indicesOfObjectsByEvaluatingObjectSpecifier(Specifier::indexed("lines", 0)),
            std::nullopt);
  // A graphic of the back list is not in the front list.
  doc.insertGraphic(CardSide::Back, SKTGraphic::makeGraphic(GraphicKind::Line), 0);
  EXPECT_EQ(relative("graphics", Specifier::Position::After, Specifier::indexed("graphics_back", 0)),
            std::nullopt);

  doc.Clear_All_Undo_Redo();
  EXPECT_EQ(range("rectangles", Specifier::indexed("rectangles", 0), std::nullopt), std::vector<int>{});
  EXPECT_EQ(relative("lines", Specifier::Position::After, Specifier::indexed("textAreas", 0)),
            std::vector<int>{});
}

TEST_F(DocumentScripting, ColoursAndWidthsWithRefusalsAndUndo) {
  SKTGraphicScripting shape(*rectangle);
  // Fill none turns the fill off; none again on a fill already off does
  // nothing and answers nothing.
  EXPECT_FALSE(shape.setScriptingFillColor(std::nullopt));
  EXPECT_FALSE(rectangle->isDrawingFill());
  EXPECT_EQ(shape.scriptingFillColor(), std::nullopt);
  const int entries = doc.undoStack()->count();
  EXPECT_FALSE(shape.setScriptingFillColor(std::nullopt));
  EXPECT_EQ(doc.undoStack()->count(), entries);

  // A colour turns the fill on and sets it: one undo entry takes both back.
  const QColor before = rectangle->_fillColor;
  ASSERT_FALSE(shape.setScriptingFillColor(QColor(200, 10, 30)));
  EXPECT_TRUE(rectangle->isDrawingFill());
  EXPECT_EQ(shape.scriptingFillColor()->rgb(), QColor(200, 10, 30).rgb());
  doc.undo();
  EXPECT_FALSE(rectangle->isDrawingFill());
  EXPECT_EQ(rectangle->_fillColor, before);
  doc.redo();
  EXPECT_EQ(shape.scriptingFillColor()->rgb(), QColor(200, 10, 30).rgb());
  ASSERT_FALSE(shape.setScriptingStrokeWidth(4.5));
  EXPECT_EQ(shape.scriptingStrokeWidth(), 4.5);
  doc.undo();
  EXPECT_EQ(shape.scriptingStrokeWidth(), 1.0);

  // Kinds that cannot change the flag refuse, with error -10000.
  SKTGraphicScripting lineScripting(*line), textScripting(*text);
  const auto fillOnLine = lineScripting.setScriptingFillColor(QColor(Qt::red));
  ASSERT_TRUE(fillOnLine);
  EXPECT_EQ(fillOnLine->kind, SKTScriptError::Kind::Refused);
  EXPECT_EQ(fillOnLine->message(), "-10000: You can't set the fill color of this kind of graphic.");
  EXPECT_EQ(lineScripting.setScriptingStrokeColor(std::nullopt)->text,
            "You can't remove the stroke from this kind of graphic.");
  EXPECT_FALSE(lineScripting.setScriptingFillColor(std::nullopt));  // no fill to remove
  EXPECT_FALSE(lineScripting.setScriptingStrokeColor(QColor(Qt::blue)));
  EXPECT_EQ(textScripting.setScriptingStrokeWidth(std::nullopt)->text,
            "You can't remove the stroke from this kind of graphic.");
  text->_isDrawingStroke = false;
  EXPECT_EQ(textScripting.setScriptingStrokeWidth(2.0)->text,
            "You can't set the stroke thickness of this kind of graphic.");
  EXPECT_EQ(textScripting.scriptingStrokeColor(), std::nullopt);

  // The place of a graphic: its front position, or an error (not a crash)
  // for a graphic no document holds in its front list.
  EXPECT_EQ(std::get<int>(SKTGraphicScripting(*line).objectSpecifier()), 2);
  const SKTGraphicPtr back = SKTGraphic::makeGraphic(GraphicKind::Shape);
  doc.insertGraphic(CardSide::Back, back, 0);
  EXPECT_EQ(std::get<SKTScriptError>(SKTGraphicScripting(*back).objectSpecifier()).kind,
            SKTScriptError::Kind::NoContainer);
}

TEST(ScriptingColor, ConversionsAndTheirByteOrder) {
  // Cut towards zero, not rounded; most significant byte first.
  EXPECT_EQ(scriptingRGBColorDescriptor(1.0, 0.5, 0.0).data, QByteArray::fromHex("ffff7fff0000"));
  const SKTScriptingDescriptor value{typeRGBColor, QByteArray::fromHex("1234abcd00ff")};
  const std::optional<QColor> color = scriptingRGBColorWithDescriptor(value);
  ASSERT_TRUE(color);
  EXPECT_EQ(color->rgba64(), QRgba64::fromRgba64(0x1234, 0xabcd, 0x00ff, 0xffff));
  // Every 16-bit component survives the round trip exactly.
  for (int v = 0; v <= 0xffff; ++v) {
    const QColor c(QRgba64::fromRgba64(v, 0xffff - v, v / 2, 0xffff));
    ASSERT_EQ(scriptingRGBColorWithDescriptor(scriptingRGBColorDescriptor(c)), c) << v;
  }
  // Other lengths and other types are no colour.
  EXPECT_EQ(scriptingRGBColorWithDescriptor({typeRGBColor, QByteArray(8, '\x7f')}), std::nullopt);
  EXPECT_EQ(scriptingRGBColorWithDescriptor({typeRGBColor, QByteArray()}), std::nullopt);
  EXPECT_EQ(scriptingRGBColorWithDescriptor({0x6c6f6e67, value.data}), std::nullopt);
  // Colours of other models come out as their RGB; alpha is dropped.
  EXPECT_EQ(scriptingRGBColorDescriptor(QColor::fromHsv(0, 255, 255, 10)).data,
            QByteArray::fromHex("ffff00000000"));
}

}  // namespace
