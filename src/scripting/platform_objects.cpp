// The platform's objects as scripts see them: the screen ("ScreenObject"), the program
// ("AppObject"), the printers ("PrintersObject") and the clipboard ("ClipboardObject").
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

#include "game/game.h"
#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "platform/twips.h"
#include "scripting/control_objects.h"
#include "scripting/control_properties.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

bool anyOf(std::u16string_view name, std::initializer_list<const char16_t*> members) {
  for (const char16_t* m : members)
    if (memberIs(name, m)) return true;
  return false;
}

// The screen: its size in twips and the pointer over the whole program.
class ScreenControl : public vbs::Object {
 public:
  explicit ScreenControl(Game& game) : game_(game) {}
  std::u16string typeName() const override { return u"Screen"; }
  bool hasMember(std::u16string_view name) const override {
    return anyOf(name, {u"Width", u"Height", u"TwipsPerPixelX", u"TwipsPerPixelY", u"MousePointer", u"MouseIcon"});
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    const QSize size = game_.module().display().size();
    if (memberIs(name, u"Width")) return vbs::Value(static_cast<float>(pixelsToTwips(size.width())));
    if (memberIs(name, u"Height")) return vbs::Value(static_cast<float>(pixelsToTwips(size.height())));
    if (memberIs(name, u"TwipsPerPixelX") || memberIs(name, u"TwipsPerPixelY"))
      return vbs::Value(static_cast<float>(kTwipsPerPixel));
    if (memberIs(name, u"MousePointer")) {
      // The game itself may have put the pointer back since a script set it.
      const int n = QApplication::overrideCursor() ? game_.property("ScreenMousePointer").toInt() : 0;
      return vbs::Value(static_cast<int16_t>(n));
    }
    return pictureObject(game_.property("ScreenMouseIcon").value<QPixmap>());
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& v) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    if (memberIs(name, u"MousePointer")) {
      const qint16 n = mousePointerValue(v);
      game_.setProperty("ScreenMousePointer", static_cast<int>(n));
      apply();
    } else if (memberIs(name, u"MouseIcon")) {
      game_.setProperty("ScreenMouseIcon", pictureValue(v));
      apply();
    } else {
      raiseReadOnly();
    }
  }
  void setProperty(std::u16string_view name, vbs::Args args, const vbs::Value& v) override {
    letProperty(name, args, v);
  }

 private:
  void apply() {
    const int n = game_.property("ScreenMousePointer").toInt();
    if (n == 0) {
      game_.SetScreenPointerDefault();
      return;
    }
    const QPixmap icon = game_.property("ScreenMouseIcon").value<QPixmap>();
    game_.SetScreenPointerArrow();  // the game's own hold on the program's pointer
    QApplication::changeOverrideCursor(
        cursorForPointer(n, icon.isNull() ? QCursor(Qt::ArrowCursor) : QCursor(icon), QCursor(Qt::ArrowCursor)));
  }
  Game& game_;
};

// The program: its folder, title, file name and version.
class AppControl : public vbs::Object {
 public:
  explicit AppControl(Game& game) : game_(game) {}
  std::u16string typeName() const override { return u"App"; }
  bool hasMember(std::u16string_view name) const override {
    return anyOf(name,
                 {u"Path", u"Title", u"EXEName", u"Major", u"Minor", u"Revision", u"PrevInstance", u"ProductName"});
  }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    args.expect(0, 0);
    if (memberIs(name, u"Path")) {
      QString path = game_.module().paths.ProjectPath;
      // A drive's root keeps its backslash ("C:\"), as the platform gives it.
      if (path.endsWith('\\') && !(path.size() == 3 && path[1] == ':')) path.chop(1);
      return scriptText(path);
    }
    if (memberIs(name, u"Title") || memberIs(name, u"ProductName"))
      return scriptText(game_.module().settings.GameTitle);
    if (memberIs(name, u"EXEName"))
      return scriptText(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    if (memberIs(name, u"PrevInstance")) return vbs::Value(false);
    const QStringList version = QStringLiteral(STORYLOOM_VERSION).split('.');
    const int part = memberIs(name, u"Major") ? 0 : memberIs(name, u"Minor") ? 1 : 2;
    return vbs::Value(static_cast<int16_t>(part < version.size() ? version[part].toShort() : 0));
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  void letProperty(std::u16string_view name, vbs::Args, const vbs::Value&) override {
    if (!hasMember(name)) vbs::raise(vbs::err::NoSuchMember);
    raiseReadOnly();
  }

 private:
  Game& game_;
};

// No printer is installed for the game.
class PrintersControl : public vbs::Object {
 public:
  std::u16string typeName() const override { return u"Printers"; }
  bool hasMember(std::u16string_view name) const override { return anyOf(name, {u"Count", u"Item"}); }
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override {
    if (memberIs(name, u"Count")) {
      args.expect(0, 0);
      return vbs::Value(static_cast<int16_t>(0));
    }
    if (name.empty() || memberIs(name, u"Item")) {
      args.expect(1, 1);
      throw PlatformError::subscriptOutOfRange();
    }
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override { return getProperty(name, args); }
  std::vector<vbs::Value> enumerate() override { return {}; }
};

// The system clipboard: text, and pictures through GetData/SetData.
class ClipboardControl : public vbs::Object {
 public:
  std::u16string typeName() const override { return u"Clipboard"; }
  bool hasMember(std::u16string_view name) const override {
    return anyOf(name, {u"GetText", u"SetText", u"Clear", u"GetFormat", u"GetData", u"SetData"});
  }
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (memberIs(name, u"GetText")) {
      args.expect(0, 1);
      return scriptText(clipboard->text());
    }
    if (memberIs(name, u"SetText")) {
      args.expect(1, 2);
      clipboard->setText(textValue(args[0]));
      return {};
    }
    if (memberIs(name, u"Clear")) {
      args.expect(0, 0);
      clipboard->clear();
      return {};
    }
    if (memberIs(name, u"GetFormat")) {
      args.expect(1, 1);
      // 1 text, 2 bitmap, 8 device-independent bitmap.
      const qint16 format = integerOf(variantOf(args[0]));
      if (format == 1) return vbs::Value(!clipboard->text().isEmpty());
      if (format == 2 || format == 8) return vbs::Value(!clipboard->image().isNull());
      return vbs::Value(false);
    }
    if (memberIs(name, u"GetData")) {
      args.expect(0, 1);
      return pictureObject(clipboard->pixmap());
    }
    if (memberIs(name, u"SetData")) {
      args.expect(1, 2);
      clipboard->setPixmap(pictureValue(args[0]));
      return {};
    }
    vbs::raise(vbs::err::NoSuchMember);
  }
};

}  // namespace

vbs::Ref<vbs::Object> makeScreenObject(Game& game) { return vbs::makeRef<ScreenControl>(game); }
vbs::Ref<vbs::Object> makeAppObject(Game& game) { return vbs::makeRef<AppControl>(game); }
vbs::Ref<vbs::Object> makePrintersObject(Game&) { return vbs::makeRef<PrintersControl>(); }
vbs::Ref<vbs::Object> makeClipboardObject(Game&) { return vbs::makeRef<ClipboardControl>(); }

}  // namespace storyloom
