// The references a column keeps to components outside the tree list (image lists, the
// graphic column's tool bar settings) are streamed by name and found again when read:
// on the form read into, on another form, or missing.
#include <memory>

#include "classlib/Filer.h"
#include "classlib/ImageList.h"
#include "tests/support/TestSupport.h"
#include "tests/treelist/TreeListControlTestSupport.h"
#include "treelist/DxTreeListCheckColumn.h"
#include "treelist/DxTreeListPictureColumns.h"

namespace {

class DxTreeListColumnReferencesTest : public TreeListControlFixture {
 protected:
  static TImageList* ImageList(TComponent* owner, const std::string& name, int size = 16) {
    auto* list = new TImageList(owner, size, size);
    list->SetName(name);
    return list;
  }
};

TEST_F(DxTreeListColumnReferencesTest, ImageListsComeBackAsTheListsOfTheFormReadInto) {
  auto* image = Kind<TdxTreeListImageColumn>("State");
  image->SetImages(ImageList(Form, "Icons"));
  image->SetLargeImages(ImageList(Form, "LargeIcons", 32));
  const TFilerObject stored = TWriter::WriteRootComponent(Tree);

  TComponent other(nullptr);
  TImageList* icons = ImageList(&other, "icons");
  TImageList* large = ImageList(&other, "LargeIcons", 32);
  auto* copy = new TCustomdxTreeListControl(&other);
  const std::vector<std::string> unresolved = TReader::ReadRootComponent(stored, copy);
  EXPECT_TRUE(unresolved.empty());
  auto* image2 = ObjectAs<TdxTreeListImageColumn>(copy->GetColumn(0));
  ASSERT_NE(image2, nullptr);
  EXPECT_EQ(image2->GetImages(), icons) << "names are found without regard to case";
  EXPECT_EQ(image2->GetLargeImages(), large);
  // Watched as when set by hand: a list that goes away leaves the column.
  delete large;
  EXPECT_EQ(image2->GetLargeImages(), nullptr);
  EXPECT_EQ(image2->GetImages(), icons);
}

TEST_F(DxTreeListColumnReferencesTest, ImageListsOfAnotherFormAreNamedWithThatForm) {
  auto* library = new TForm(nullptr);
  library->SetName("Library");
  auto* image = Kind<TdxTreeListImageColumn>("State");
  image->SetImages(ImageList(library, "Icons"));
  const TFilerObject stored = TWriter::WriteRootComponent(Tree);
  const auto& properties = stored.Children.at(0).Properties;
  auto images = std::find_if(properties.begin(), properties.end(),
                             [](const TFilerProperty& p) { return p.Name == "Images"; });
  ASSERT_NE(images, properties.end());
  EXPECT_EQ(std::get<TFilerReference>(images->Values.at(0)).Name, "Library.Icons");

  TComponent other(nullptr);
  auto* copy = new TCustomdxTreeListControl(&other);
  EXPECT_TRUE(TReader::ReadRootComponent(stored, copy).empty());
  EXPECT_EQ(static_cast<TdxTreeListImageColumn*>(copy->GetColumn(0))->GetImages(), library->FindComponent("Icons"))
      << "the screen's form of that name";
  delete library;
  EXPECT_EQ(static_cast<TdxTreeListImageColumn*>(copy->GetColumn(0))->GetImages(), nullptr);
}

TEST_F(DxTreeListColumnReferencesTest, AMissingImageListReadsBackAsNilAndTheRestLoads) {
  auto* image = Kind<TdxTreeListImageColumn>("State");
  image->SetImages(ImageList(Form, "Icons"));
  image->SetLargeImages(ImageList(Form, "LargeIcons", 32));
  image->SetShowDescription(true);
  Kind<TdxTreeListCheckColumn>("Done")->SetValueChecked("Yes");
  const TFilerObject stored = TWriter::WriteRootComponent(Tree);

  TComponent other(nullptr);
  TImageList* large = ImageList(&other, "LargeIcons", 32);
  auto* copy = new TCustomdxTreeListControl(&other);
  const std::vector<std::string> unresolved = TReader::ReadRootComponent(stored, copy);
  EXPECT_EQ(unresolved, (std::vector<std::string>{"TreeColumn1.Images: Icons not found"}));
  ASSERT_EQ(copy->GetColumnCount(), 2);
  EXPECT_FALSE(copy->IsLoading());
  auto* image2 = static_cast<TdxTreeListImageColumn*>(copy->GetColumn(0));
  EXPECT_EQ(image2->GetImages(), nullptr);
  EXPECT_EQ(image2->GetLargeImages(), large);
  EXPECT_TRUE(image2->GetShowDescription());
  EXPECT_EQ(static_cast<TdxTreeListCheckColumn*>(copy->GetColumn(1))->GetValueChecked(), "Yes");
}

TEST_F(DxTreeListColumnReferencesTest, TheGraphicColumnsToolBarSettingsComeBack) {
  Kind<TdxTreeListGraphicColumn>("Plain");
  auto* picture = Kind<TdxTreeListGraphicColumn>("Picture");
  TdxPopupToolBarWindow* settings = picture->GetPopupToolBar();
  settings->SetAlignment(ptaLeft);
  settings->SetButtons(TdxPopupToolBarButtons{ptbCopy, ptbCustom});
  settings->SetCustomButtonCaption("Sc&an");
  TBitmap glyph;
  glyph.SetSize(16, 15);
  glyph.GetCanvas()->SetPixel(3, 4, TColor(RGB(200, 10, 30)));
  settings->SetCustomButtonGlyph(&glyph);
  settings->SetIsPopupMenu(false);
  settings->SetShowCaptions(false);
  settings->SetVisible(false);
  const TFilerObject stored = TWriter::WriteRootComponent(Tree);
  auto has = [](const TFilerObject& column) {
    return std::any_of(column.Properties.begin(), column.Properties.end(),
                       [](const TFilerProperty& p) { return p.Name == "PopupToolBar"; });
  };
  EXPECT_FALSE(has(stored.Children.at(0))) << "default settings are not written";
  ASSERT_TRUE(has(stored.Children.at(1)));

  TComponent other(nullptr);
  auto* copy = new TCustomdxTreeListControl(&other);
  TReader::ReadRootComponent(stored, copy);
  auto* picture2 = ObjectAs<TdxTreeListGraphicColumn>(copy->GetColumn(1));
  ASSERT_NE(picture2, nullptr);
  TdxPopupToolBarWindow* read = picture2->GetPopupToolBar();
  EXPECT_EQ(read->GetAlignment(), ptaLeft);
  EXPECT_EQ(read->GetButtons().Bits(), (TdxPopupToolBarButtons{ptbCopy, ptbCustom}.Bits()));
  EXPECT_EQ(read->GetCustomButtonCaption(), "Sc&an");
  ASSERT_TRUE(read->HasCustomButtonGlyph());
  EXPECT_EQ(read->GetCustomButtonGlyph()->GetWidth(), 16);
  EXPECT_EQ(read->GetCustomButtonGlyph()->GetHeight(), 15);
  EXPECT_EQ(ColorToRGB(read->GetCustomButtonGlyph()->GetCanvas()->GetPixel(3, 4)), RGB(200, 10, 30));
  EXPECT_FALSE(read->GetIsPopupMenu());
  EXPECT_FALSE(read->GetShowCaptions());
  EXPECT_FALSE(read->GetVisible());
  TdxPopupToolBarWindow* untouched = static_cast<TdxTreeListGraphicColumn*>(copy->GetColumn(0))->GetPopupToolBar();
  EXPECT_EQ(untouched->GetAlignment(), ptaBottom);
  EXPECT_FALSE(untouched->HasCustomButtonGlyph());
  EXPECT_TRUE(untouched->GetIsPopupMenu());
}

}  // namespace
