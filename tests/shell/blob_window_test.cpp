#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "db/dataset.h"
#include "db/error.h"
#include "db/query.h"
#include "db/session.h"
#include "qstring_print.h"
#include "shell/getPict.h"
#include "shell_test_support.h"

namespace {

class BlobWindow : public nuvo::test::DatabaseFixture {
 protected:
  void SetUp() override {
    DatabaseFixture::SetUp();
    sys({"CREATE TABLE kade.memo_t (id NUMBER, txt VARCHAR2(4000), pic BLOB)",
         "INSERT INTO kade.memo_t (id, txt) VALUES (1, 'old text')", "COMMIT"});
    session_.logOn("KADE", "KADE", "DEMO");
    dataset_ = std::make_unique<nuvo::db::Dataset>(&session_);
    dataset_->setSql(QStringLiteral("select id, txt, pic, rowid from kade.memo_t"));
    dataset_->open();
    previous_ = nuvo::setModalRunner([this](QDialog& dialog) {
      ++dialogs_;
      auto& files = static_cast<QFileDialog&>(dialog);
      if (choose_.isEmpty()) {
        files.reject();
      } else {
        files.selectFile(choose_);
        dialog.accept();  // the file dialog's own accept checks the chosen file
      }
      return files.result();
    });
  }
  void TearDown() override {
    nuvo::setModalRunner(std::move(previous_));
    delete window_;
    dataset_.reset();
    session_.logOff();
    DatabaseFixture::TearDown();
  }
  TfmGetPict& open(bool picture, bool editable) {
    window_ = new TfmGetPict;
    window_->pImage = picture;
    window_->popravljanje = editable;
    window_->bindField(dataset_.get(), 0, picture ? "PIC" : "TXT");
    return *window_;
  }
  QString file(const QString& name) const { return QString::fromStdString(home()) + "/" + name; }
  // A small picture file red.bmp; its bytes.
  QByteArray picture() const {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    EXPECT_TRUE(image.save(file("red.bmp")));
    QFile bmp(file("red.bmp"));
    EXPECT_TRUE(bmp.open(QIODevice::ReadOnly));
    return bmp.readAll();
  }

  nuvo::db::Session session_;
  std::unique_ptr<nuvo::db::Dataset> dataset_;
  QPointer<TfmGetPict> window_;
  nuvo::ModalRunner previous_;
  QString choose_;
  int dialogs_ = 0;
};

TEST_F(BlobWindow, LoadOnAResultThatMayNotBeEditedChangesNothing) {
  nuvo::test::ScriptedMessages messages;
  TfmGetPict& w = open(false, false);
  EXPECT_EQ(w.LoadButton->text(), "Load text");
  EXPECT_EQ(w.DBMemo->toPlainText(), "old text");
  w.LoadButton->click();
  EXPECT_EQ(dialogs_, 0);
  EXPECT_EQ(messages.texts(), QStringList({w.nizErr}));
  EXPECT_EQ(dataset_->state(), nuvo::db::Dataset::State::Browse);
  EXPECT_EQ(dataset_->value(0, "TXT").toString(), "old text");
}

TEST_F(BlobWindow, LoadsATextFileIntoTheRecordWithoutPostingIt) {
  writeHomeFile("notes.txt", "line one\r\nline two");
  choose_ = file("notes.txt");
  TfmGetPict& w = open(false, true);
  w.LoadButton->click();
  EXPECT_EQ(dialogs_, 1);
  EXPECT_EQ(w.DBMemo->toPlainText(), "line one\nline two");
  EXPECT_EQ(dataset_->state(), nuvo::db::Dataset::State::Edit);
  EXPECT_EQ(dataset_->value(0, "TXT").toString(), "line one\r\nline two");
  nuvo::db::Session other;
  other.logOn("KADE", "KADE", "DEMO");
  nuvo::db::Query stored(&other);
  stored.setSql("select txt from kade.memo_t where id = 1");
  stored.execute();
  EXPECT_EQ(stored.field(0).asString(), "old text");
}

TEST_F(BlobWindow, LoadsAPictureAndKeepsTheEditWhenCancelled) {
  const QByteArray bytes = picture();
  TfmGetPict& w = open(true, true);
  EXPECT_EQ(w.LoadButton->text(), "Load Image");
  EXPECT_TRUE(w.DBMemo->isHidden());
  w.LoadButton->click();  // cancelled
  EXPECT_EQ(dataset_->state(), nuvo::db::Dataset::State::Edit);
  EXPECT_TRUE(dataset_->isNull(0, dataset_->fieldIndex("PIC")));

  choose_ = file("red.bmp");
  w.LoadButton->click();
  EXPECT_EQ(dataset_->value(0, "PIC").toByteArray(), bytes);
  EXPECT_EQ(w.DBImage->pixmap().size(), QSize(4, 3));
}

TEST_F(BlobWindow, APostedPictureReadsBackAsItsBytes) {
  const QByteArray bytes = picture();
  choose_ = file("red.bmp");
  open(true, true).LoadButton->click();
  dataset_->post();
  session_.commit();
  dataset_->requery();
  const QVariant stored = dataset_->value(0, "PIC");
  EXPECT_EQ(stored.typeId(), QMetaType::QByteArray);
  EXPECT_EQ(stored.toByteArray(), bytes);
}

}  // namespace
