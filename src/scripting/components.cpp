#include "scripting/components.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGraphicsProxyWidget>
#include <QGraphicsScene>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <cmath>

#include "game/game.h"
#include "platform/clickable_label.h"
#include "platform/media_player.h"
#include "platform/platform_error.h"
#include "platform/twips.h"
#include "scripting/control_properties.h"
#include "scripting/script_host.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

// Placed controls are windows of their own on the picture: in front of the frame's
// pictures, texts and hotspots, behind the inventory, dialogues and the message bar.
constexpr double kComponentsLayer = 400;

PlatformError objectNotSet() {
  return PlatformError(91, QStringLiteral("Object variable or With block variable not set"));
}

vbs::Value text(const QString& s) { return scriptText(s); }
vbs::Value integer(int n) { return vbs::Value(static_cast<int32_t>(n)); }
qint32 longValue(const vbs::Value& v) { return vbs::Value(v).toLong(); }

// One argument of an event, or one item of a collection, as scripts see it.
class EventParameter : public vbs::Object {
 public:
  EventParameter(QString name, vbs::Value value) : name_(std::move(name)), value_(std::move(value)) {}
  std::u16string typeName() const override { return u"EventParameter"; }
  bool hasMember(std::u16string_view n) const override { return memberIs(n, u"Name") || memberIs(n, u"Value"); }
  vbs::Value getProperty(std::u16string_view n, vbs::Args a) override {
    a.expect(0, 0);
    if (memberIs(n, u"Name")) return text(name_);
    if (n.empty() || memberIs(n, u"Value")) return value_;
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view n, vbs::Args a) override { return getProperty(n, a); }

 private:
  QString name_;
  vbs::Value value_;
};

// The arguments of an event: Count, Item(position from 0, or name) and For Each.
class EventParameters : public vbs::Object {
 public:
  explicit EventParameters(const std::vector<std::pair<QString, vbs::Value>>& parameters) {
    for (const auto& [name, value] : parameters) items_.push_back(vbs::makeRef<EventParameter>(name, value));
  }
  std::u16string typeName() const override { return u"EventParameters"; }
  bool hasMember(std::u16string_view n) const override { return memberIs(n, u"Count") || memberIs(n, u"Item"); }
  vbs::Value getProperty(std::u16string_view n, vbs::Args a) override {
    if (memberIs(n, u"Count")) {
      a.expect(0, 0);
      return integer(static_cast<int>(items_.size()));
    }
    if (n.empty() || memberIs(n, u"Item")) {
      a.expect(1, 1);
      const vbs::Value& key = a[0];
      if (key.isString()) {
        for (const auto& item : items_)
          if (vbs::equalsNoCase(item->getProperty(u"Name", {}).asString(), key.asString()))
            return vbs::Value(item.get());
        throw PlatformError::invalidProcedureCall();
      }
      const qint32 i = longValue(key);
      if (i < 0 || i >= static_cast<qint32>(items_.size())) throw PlatformError::subscriptOutOfRange();
      return vbs::Value(items_[static_cast<size_t>(i)].get());
    }
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view n, vbs::Args a) override { return getProperty(n, a); }
  std::vector<vbs::Value> enumerate() override {
    std::vector<vbs::Value> values;
    for (const auto& item : items_) values.emplace_back(item.get());
    return values;
  }

 private:
  std::vector<vbs::Ref<EventParameter>> items_;
};

// A member table of plain objects (the media player's controls and settings).
class MemberObject : public vbs::Object {
 public:
  MemberObject(std::u16string type, std::vector<ComponentControl::Member> members)
      : type_(std::move(type)), members_(std::move(members)) {}
  std::u16string typeName() const override { return type_; }
  bool hasMember(std::u16string_view n) const override { return find(n) != nullptr; }
  vbs::Value getProperty(std::u16string_view n, vbs::Args a) override {
    const auto* m = find(n);
    if (m && m->get) return m->get(a);
    if (m && m->call) return m->call(a);
    vbs::raise(vbs::err::NoSuchMember);
  }
  vbs::Value callMethod(std::u16string_view n, vbs::Args a) override { return getProperty(n, a); }
  void letProperty(std::u16string_view n, vbs::Args a, const vbs::Value& v) override {
    const auto* m = find(n);
    if (!m) vbs::raise(vbs::err::NoSuchMember);
    if (!m->let) raiseReadOnly();
    m->let(a, v);
  }

 private:
  const ComponentControl::Member* find(std::u16string_view n) const {
    for (const auto& m : members_)
      if (vbs::equalsNoCase(m.name, n)) return &m;
    return nullptr;
  }
  std::u16string type_;
  std::vector<ComponentControl::Member> members_;
};

using Member = ComponentControl::Member;

Member property(std::u16string name, std::function<vbs::Value()> get, std::function<void(const vbs::Value&)> let = {}) {
  Member m;
  m.name = std::move(name);
  m.get = [get](vbs::Args a) {
    a.expect(0, 0);
    return get();
  };
  if (let)
    m.let = [let](vbs::Args a, const vbs::Value& v) {
      a.expect(0, 0);
      let(v);
    };
  return m;
}

Member method(std::u16string name, std::function<vbs::Value(vbs::Args)> call) {
  Member m;
  m.name = std::move(name);
  m.call = std::move(call);
  return m;
}

// The list members of list and combo boxes: AddItem, RemoveItem, Clear, List(i),
// ListCount, ListIndex (-1 when nothing is chosen).
template <class Widget>
void addListMembers(ComponentControl& c, Widget* w) {
  c.addMember(method(u"AddItem", [w](vbs::Args a) {
    a.expect(1, 2);
    const QString item = textValue(a[0]);
    const int count = w->count();
    int index = a.isMissing(1) ? count : vbs::Value(a[1]).toInteger();
    if (index < 0 || index > count) throw PlatformError::invalidProcedureCall();
    w->insertItem(index, item);
    return vbs::Value();
  }));
  c.addMember(method(u"RemoveItem", [w](vbs::Args a) {
    a.expect(1, 1);
    const int index = vbs::Value(a[0]).toInteger();
    if (index < 0 || index >= w->count()) throw PlatformError::invalidProcedureCall();
    if constexpr (std::is_same_v<Widget, QListWidget>)
      delete w->takeItem(index);
    else
      w->removeItem(index);
    return vbs::Value();
  }));
  c.addMember(method(u"Clear", [w](vbs::Args a) {
    a.expect(0, 0);
    w->clear();
    return vbs::Value();
  }));
  Member list;
  list.name = u"List";
  auto itemText = [w](int i) {
    if constexpr (std::is_same_v<Widget, QListWidget>)
      return w->item(i)->text();
    else
      return w->itemText(i);
  };
  list.get = [w, itemText](vbs::Args a) {
    a.expect(1, 1);
    const int i = vbs::Value(a[0]).toInteger();
    if (i < 0 || i >= w->count()) return text({});
    return text(itemText(i));
  };
  list.let = [w](vbs::Args a, const vbs::Value& v) {
    a.expect(1, 1);
    const int i = vbs::Value(a[0]).toInteger();
    if (i < 0 || i >= w->count()) throw PlatformError::invalidProcedureCall();
    if constexpr (std::is_same_v<Widget, QListWidget>)
      w->item(i)->setText(textValue(v));
    else
      w->setItemText(i, textValue(v));
  };
  c.addMember(list);
  c.addMember(property(u"ListCount", [w] { return integer(w->count()); }));
  c.addMember(property(
      u"ListIndex",
      [w] {
        if constexpr (std::is_same_v<Widget, QListWidget>)
          return integer(w->currentRow());
        else
          return integer(w->currentIndex());
      },
      [w](const vbs::Value& v) {
        const int i = vbs::Value(v).toInteger();
        if (i < -1 || i >= w->count()) throw PlatformError::invalidPropertyValue();
        if constexpr (std::is_same_v<Widget, QListWidget>)
          w->setCurrentRow(i);
        else
          w->setCurrentIndex(i);
      }));
}

void addColours(ComponentControl& c, QWidget* w) {
  auto colour = [w](QPalette::ColorRole role) {
    return [w, role] { return vbs::Value(static_cast<int32_t>(numberFromColor(w->palette().color(role)))); };
  };
  auto setColour = [w](QPalette::ColorRole role) {
    return [w, role](const vbs::Value& v) {
      QPalette p = w->palette();
      p.setColor(role, colorFromNumber(colourValue(v)));
      w->setPalette(p);
      w->setAutoFillBackground(true);
    };
  };
  c.addMember(property(u"BackColor", colour(QPalette::Window), setColour(QPalette::Window)));
  c.addMember(property(u"ForeColor", colour(QPalette::WindowText), [w](const vbs::Value& v) {
    QPalette p = w->palette();
    const QColor colour = colorFromNumber(colourValue(v));
    p.setColor(QPalette::WindowText, colour);
    p.setColor(QPalette::Text, colour);
    p.setColor(QPalette::ButtonText, colour);
    w->setPalette(p);
  }));
  c.addMember(property(
      u"FontSize", [w] { return vbs::Value(static_cast<double>(w->font().pointSizeF())); },
      [w](const vbs::Value& v) {
        QFont f = w->font();
        f.setPointSizeF(fontSizeValue(v));
        w->setFont(f);
      }));
  c.addMember(property(
      u"FontBold", [w] { return vbs::Value(w->font().bold()); },
      [w](const vbs::Value& v) {
        QFont f = w->font();
        f.setBold(booleanValue(v));
        w->setFont(f);
      }));
}

vbs::Ref<ComponentControl> makeTextBox(Game&) {
  auto* w = new QLineEdit;
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.TextBox.1"), w);
  auto textProperty = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return text(w->text()); }, [w](const vbs::Value& v) { w->setText(textValue(v)); });
  };
  c->addMember(textProperty(u""));
  c->addMember(textProperty(u"Text"));
  c->addMember(textProperty(u"Value"));
  c->addMember(property(
      u"Locked", [w] { return vbs::Value(w->isReadOnly()); },
      [w](const vbs::Value& v) { w->setReadOnly(booleanValue(v)); }));
  c->addMember(property(
      u"MaxLength", [w] { return integer(w->maxLength() == 32767 ? 0 : w->maxLength()); },
      [w](const vbs::Value& v) {
        const qint32 n = longValue(v);
        if (n < 0) throw PlatformError::invalidPropertyValue();
        w->setMaxLength(n == 0 ? 32767 : n);
      }));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &QLineEdit::textChanged, w, [raw] { raw->raise(QStringLiteral("Change")); });
  QObject::connect(w, &QLineEdit::returnPressed, w, [raw] {
    raw->raise(QStringLiteral("KeyPress"), {{QStringLiteral("KeyAscii"), vbs::Value(int32_t{13})}});
  });
  return c;
}

vbs::Ref<ComponentControl> makeCommandButton(Game&) {
  auto* w = new QPushButton(QStringLiteral("CommandButton1"));
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.CommandButton.1"), w);
  auto caption = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return text(w->text()); }, [w](const vbs::Value& v) { w->setText(textValue(v)); });
  };
  c->addMember(caption(u""));
  c->addMember(caption(u"Caption"));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &QPushButton::clicked, w, [raw] { raw->raise(QStringLiteral("Click")); });
  return c;
}

vbs::Ref<ComponentControl> makeLabel(Game&) {
  auto* w = new ClickableLabel(QStringLiteral("Label1"));
  w->setWordWrap(true);
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.Label.1"), w);
  auto caption = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return text(w->text()); }, [w](const vbs::Value& v) { w->setText(textValue(v)); });
  };
  c->addMember(caption(u""));
  c->addMember(caption(u"Caption"));
  c->addMember(property(
      u"WordWrap", [w] { return vbs::Value(w->wordWrap()); },
      [w](const vbs::Value& v) { w->setWordWrap(booleanValue(v)); }));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &ClickableLabel::clicked, w, [raw] { raw->raise(QStringLiteral("Click")); });
  return c;
}

vbs::Ref<ComponentControl> makeCheckBox(Game&) {
  auto* w = new QCheckBox(QStringLiteral("CheckBox1"));
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.CheckBox.1"), w);
  auto value = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return vbs::Value(w->isChecked()); },
        [w](const vbs::Value& v) { w->setChecked(booleanValue(v)); });
  };
  c->addMember(value(u""));
  c->addMember(value(u"Value"));
  c->addMember(property(
      u"Caption", [w] { return text(w->text()); }, [w](const vbs::Value& v) { w->setText(textValue(v)); }));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &QCheckBox::toggled, w, [raw] { raw->raise(QStringLiteral("Change")); });
  QObject::connect(w, &QCheckBox::clicked, w, [raw] { raw->raise(QStringLiteral("Click")); });
  return c;
}

vbs::Ref<ComponentControl> makeListBox(Game&) {
  auto* w = new QListWidget;
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.ListBox.1"), w);
  addListMembers(*c, w);
  auto chosen = [w](std::u16string name) {
    return property(std::move(name), [w] { return text(w->currentItem() ? w->currentItem()->text() : QString()); });
  };
  c->addMember(chosen(u""));
  c->addMember(chosen(u"Text"));
  c->addMember(chosen(u"Value"));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &QListWidget::currentRowChanged, w, [raw] { raw->raise(QStringLiteral("Change")); });
  QObject::connect(w, &QListWidget::itemClicked, w, [raw] { raw->raise(QStringLiteral("Click")); });
  return c;
}

vbs::Ref<ComponentControl> makeComboBox(Game&) {
  auto* w = new QComboBox;
  w->setEditable(true);
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("Forms.ComboBox.1"), w);
  addListMembers(*c, w);
  auto textProperty = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return text(w->currentText()); },
        [w](const vbs::Value& v) { w->setEditText(textValue(v)); });
  };
  c->addMember(textProperty(u""));
  c->addMember(textProperty(u"Text"));
  c->addMember(textProperty(u"Value"));
  addColours(*c, w);
  ComponentControl* raw = c.get();
  QObject::connect(w, &QComboBox::currentTextChanged, w, [raw] { raw->raise(QStringLiteral("Change")); });
  QObject::connect(w, &QComboBox::activated, w, [raw] { raw->raise(QStringLiteral("Click")); });
  return c;
}

// Min, Max and Value of a range control; Value outside Min to Max is Invalid property value.
template <class Widget>
void addRange(ComponentControl& c, Widget* w) {
  c.addMember(property(
      u"Min", [w] { return integer(w->minimum()); }, [w](const vbs::Value& v) { w->setMinimum(longValue(v)); }));
  c.addMember(property(
      u"Max", [w] { return integer(w->maximum()); }, [w](const vbs::Value& v) { w->setMaximum(longValue(v)); }));
  auto value = [w](std::u16string name) {
    return property(
        std::move(name), [w] { return integer(w->value()); },
        [w](const vbs::Value& v) {
          const qint32 n = longValue(v);
          if (n < w->minimum() || n > w->maximum()) throw PlatformError::invalidPropertyValue();
          w->setValue(n);
        });
  };
  c.addMember(value(u""));
  c.addMember(value(u"Value"));
}

vbs::Ref<ComponentControl> makeProgressBar(Game&) {
  auto* w = new QProgressBar;
  w->setRange(0, 100);
  w->setValue(0);
  w->setTextVisible(false);
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("MSComctlLib.ProgCtrl.2"), w);
  addRange(*c, w);
  return c;
}

vbs::Ref<ComponentControl> makeSlider(Game&) {
  auto* w = new QSlider(Qt::Horizontal);
  w->setRange(0, 10);
  w->setTickPosition(QSlider::TicksBelow);
  w->setTickInterval(1);
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("MSComctlLib.Slider.2"), w);
  addRange(*c, w);
  c->addMember(property(
      u"SmallChange", [w] { return integer(w->singleStep()); },
      [w](const vbs::Value& v) { w->setSingleStep(longValue(v)); }));
  c->addMember(property(
      u"LargeChange", [w] { return integer(w->pageStep()); },
      [w](const vbs::Value& v) { w->setPageStep(longValue(v)); }));
  c->addMember(property(
      u"TickFrequency", [w] { return integer(w->tickInterval()); },
      [w](const vbs::Value& v) { w->setTickInterval(longValue(v)); }));
  c->addMember(property(
      u"Orientation", [w] { return integer(w->orientation() == Qt::Vertical ? 1 : 0); },
      [w](const vbs::Value& v) { w->setOrientation(longValue(v) == 1 ? Qt::Vertical : Qt::Horizontal); }));
  ComponentControl* raw = c.get();
  QObject::connect(w, &QSlider::valueChanged, w,
                   [raw, w] { raw->raise(w->isSliderDown() ? QStringLiteral("Scroll") : QStringLiteral("Change")); });
  QObject::connect(w, &QSlider::sliderReleased, w, [raw] { raw->raise(QStringLiteral("Change")); });
  return c;
}

// The media player component: URL, controls.play / stop / pause, settings.volume (0 to 100)
// and settings.mute, playState (1 stopped, 2 paused, 3 playing), PlayStateChange(NewState).
// It plays through the game's own media player; the widget is its (black) screen.
vbs::Ref<ComponentControl> makeMediaPlayer(Game& game) {
  auto* w = new QLabel;
  w->setAlignment(Qt::AlignCenter);
  w->setAutoFillBackground(true);
  QPalette p = w->palette();
  p.setColor(QPalette::Window, Qt::black);
  p.setColor(QPalette::WindowText, Qt::lightGray);
  w->setPalette(p);
  w->resize(240, 60);
  auto c = vbs::makeRef<ComponentControl>(QStringLiteral("WMPlayer.OCX"), w);
  auto* player = new MediaPlayer(w);
  struct State {
    QString url;
    int volume = 50;
    bool mute = false;
    bool paused = false;
  };
  auto state = std::make_shared<State>();
  EditorAndGame* module = &game.module();
  ComponentControl* raw = c.get();
  auto applyVolume = [player, state] {
    // 0 to 100 as a level of loudness: 100 is full, every halving about 20 dB quieter.
    const int v = state->mute ? 0 : state->volume;
    player->setVolume(v <= 0 ? -10000 : static_cast<qint32>(std::lround(2000.0 * std::log10(v / 100.0))));
  };
  applyVolume();
  auto playState = [player, state] { return player->isPlaying() ? 3 : state->paused ? 2 : 1; };
  auto changed = [raw, playState] {
    raw->raise(QStringLiteral("PlayStateChange"), {{QStringLiteral("NewState"), integer(playState())}});
  };
  auto play = [player, state, module, changed, w] {
    if (state->url.isEmpty()) return;
    const QString file = module->FileExists(state->url) ? module->hostPathOf(state->url) : state->url;
    if (!player->isPlaying()) {
      if (!state->paused) player->setFileName(state->url, file);
      state->paused = false;
      player->Play();
      w->setText(EditorAndGame::FileNameOf(state->url));
      changed();
    }
  };
  QObject::connect(player, &MediaPlayer::finished, w, [changed] { changed(); });
  c->addMember(property(
      u"URL", [state] { return text(state->url); },
      [state, player, play](const vbs::Value& v) {
        state->url = textValue(v);
        state->paused = false;
        player->Stop();
        play();  // a new URL starts playing, as the player's autoStart does
      }));
  c->addMember(property(u"playState", [playState] { return integer(playState()); }));
  auto controls = vbs::makeRef<MemberObject>(
      u"IWMPControls", std::vector<Member>{method(u"play",
                                                  [play](vbs::Args a) {
                                                    a.expect(0, 0);
                                                    play();
                                                    return vbs::Value();
                                                  }),
                                           method(u"stop",
                                                  [player, state, changed](vbs::Args a) {
                                                    a.expect(0, 0);
                                                    const bool wasActive = player->isPlaying() || state->paused;
                                                    state->paused = false;
                                                    player->Stop();
                                                    if (wasActive) changed();
                                                    return vbs::Value();
                                                  }),
                                           method(u"pause", [player, state, changed](vbs::Args a) {
                                             a.expect(0, 0);
                                             if (!player->isPlaying()) return vbs::Value();
                                             state->paused = true;
                                             player->Stop();
                                             changed();
                                             return vbs::Value();
                                           })});
  auto settings = vbs::makeRef<MemberObject>(
      u"IWMPSettings", std::vector<Member>{property(
                                               u"volume", [state] { return integer(state->volume); },
                                               [state, applyVolume](const vbs::Value& v) {
                                                 state->volume = std::clamp<qint32>(longValue(v), 0, 100);
                                                 applyVolume();
                                               }),
                                           property(
                                               u"mute", [state] { return vbs::Value(state->mute); },
                                               [state, applyVolume](const vbs::Value& v) {
                                                 state->mute = booleanValue(v);
                                                 applyVolume();
                                               })});
  c->addMember(property(u"controls", [controls] { return vbs::Value(controls.get()); }));
  c->addMember(property(u"settings", [settings] { return vbs::Value(settings.get()); }));
  return c;
}

}  // namespace

// --- ComponentControl ---

ComponentControl::ComponentControl(QString progID, QWidget* widget) : progID_(std::move(progID)), widget_(widget) {}

ComponentControl::~ComponentControl() {
  raised = nullptr;
  remove();
  // A widget never placed has no owner.
  if (widget_ && !proxy_) delete widget_;
}

QWidget* ComponentControl::widget() const { return removed_ ? nullptr : widget_.data(); }
QGraphicsProxyWidget* ComponentControl::proxy() const { return removed_ ? nullptr : proxy_.data(); }

std::u16string ComponentControl::typeName() const {
  // The class part of the ProgID: TextBox, CommandButton, Slider ...
  if (progID_.startsWith(QLatin1String("WMPlayer."), Qt::CaseInsensitive)) return u"IWMPPlayer4";
  const QString type = progID_.section('.', 1, 1);
  if (type.compare(QLatin1String("ProgCtrl"), Qt::CaseInsensitive) == 0) return u"ProgressBar";
  return type.toStdU16String();
}

void ComponentControl::place(Game& game, const QString& name) {
  name_ = name;
  widget_->setObjectName(name);
  proxy_ = game.scene().addWidget(widget_);
  proxy_->setObjectName(name);
  proxy_->setZValue(kComponentsLayer);
  proxy_->setPos(0, 0);
  proxy_->setVisible(false);
}

void ComponentControl::remove() {
  if (removed_) return;
  removed_ = true;
  if (proxy_) {
    proxy_->hide();
    if (proxy_->scene()) proxy_->scene()->removeItem(proxy_);
    // The widget may be the one whose event handler is running now.
    proxy_->deleteLater();
  }
}

void ComponentControl::raise(const QString& event, std::vector<std::pair<QString, vbs::Value>> parameters) {
  if (removed_ || !raised) return;
  const vbs::Ref<ComponentControl> keep(this);  // a handler may drop the last reference
  raised(ComponentEvent{event, std::move(parameters)});
}

void ComponentControl::requireLive() const {
  if (removed_ || !widget_) throw objectNotSet();
}

const ComponentControl::Member* ComponentControl::member(std::u16string_view name) const {
  for (const Member& m : members_)
    if (vbs::equalsNoCase(m.name, name)) return &m;
  return nullptr;
}

namespace {
const char16_t* const kCommonMembers[] = {u"Name",    u"Left", u"Top",  u"Width",  u"Height",   u"Visible",
                                          u"Enabled", u"Tag",  u"Move", u"ZOrder", u"SetFocus", u"Object"};
}

bool ComponentControl::hasMember(std::u16string_view name) const {
  for (const char16_t* m : kCommonMembers)
    if (memberIs(name, m)) return true;
  return member(name) != nullptr;
}

vbs::Value ComponentControl::getProperty(std::u16string_view name, vbs::Args args) {
  requireLive();
  QGraphicsProxyWidget* p = proxy_;
  QWidget* w = widget_;
  auto twips = [](double pixels) { return vbs::Value(static_cast<float>(pixels * kTwipsPerPixel)); };
  if (memberIs(name, u"Name")) return text(name_);
  if (memberIs(name, u"Left")) return twips(p ? p->pos().x() : 0);
  if (memberIs(name, u"Top")) return twips(p ? p->pos().y() : 0);
  if (memberIs(name, u"Width")) return twips(w->width());
  if (memberIs(name, u"Height")) return twips(w->height());
  if (memberIs(name, u"Visible")) return vbs::Value(p && p->isVisible());
  if (memberIs(name, u"Enabled")) return vbs::Value(w->isEnabled());
  if (memberIs(name, u"Tag")) return text(tag_);
  if (memberIs(name, u"Object")) return vbs::Value(static_cast<vbs::Object*>(this));
  if (const Member* m = member(name)) {
    if (m->get) return m->get(args);
    if (m->call) return m->call(args);
  }
  return callMethod(name, args);
}

vbs::Value ComponentControl::callMethod(std::u16string_view name, vbs::Args args) {
  requireLive();
  if (memberIs(name, u"Move")) {
    args.expect(1, 4);
    QGraphicsProxyWidget* p = proxy_;
    const double left = twipsValue(args[0]) / kTwipsPerPixel;
    const double top = args.isMissing(1) ? (p ? p->pos().y() : 0) : twipsValue(args[1]) / kTwipsPerPixel;
    if (p) p->setPos(left, top);
    QSize size = widget_->size();
    if (!args.isMissing(2)) size.setWidth(qRound(sizeValue(args[2]) / kTwipsPerPixel));
    if (!args.isMissing(3)) size.setHeight(qRound(sizeValue(args[3]) / kTwipsPerPixel));
    widget_->resize(size);
    return {};
  }
  if (memberIs(name, u"ZOrder")) {
    args.expect(0, 1);
    const int position = args.isMissing(0) ? 0 : vbs::Value(args[0]).toInteger();
    if (proxy_) proxy_->setZValue(position == 0 ? kComponentsLayer + 1 : kComponentsLayer - 1);
    return {};
  }
  if (memberIs(name, u"SetFocus")) {
    args.expect(0, 0);
    widget_->setFocus();
    return {};
  }
  if (const Member* m = member(name)) {
    if (m->call) return m->call(args);
    if (m->get) return m->get(args);
  }
  vbs::raise(vbs::err::NoSuchMember);
}

void ComponentControl::letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) {
  requireLive();
  QGraphicsProxyWidget* p = proxy_;
  auto pixels = [](const vbs::Value& v) { return twipsValue(v) / kTwipsPerPixel; };
  if (memberIs(name, u"Name") || memberIs(name, u"Object")) raiseReadOnly();
  if (memberIs(name, u"Left")) {
    if (p) p->setPos(pixels(value), p->pos().y());
  } else if (memberIs(name, u"Top")) {
    if (p) p->setPos(p->pos().x(), pixels(value));
  } else if (memberIs(name, u"Width")) {
    widget_->resize(qRound(sizeValue(value) / kTwipsPerPixel), widget_->height());
  } else if (memberIs(name, u"Height")) {
    widget_->resize(widget_->width(), qRound(sizeValue(value) / kTwipsPerPixel));
  } else if (memberIs(name, u"Visible")) {
    if (p) p->setVisible(booleanValue(value));
  } else if (memberIs(name, u"Enabled")) {
    widget_->setEnabled(booleanValue(value));
  } else if (memberIs(name, u"Tag")) {
    tag_ = textValue(value);
  } else if (const Member* m = member(name)) {
    if (!m->let) raiseReadOnly();
    m->let(args, value);
  } else {
    vbs::raise(vbs::err::NoSuchMember);
  }
}

// --- ComponentRegistry ---

const ComponentRegistry& ComponentRegistry::standard() {
  static const ComponentRegistry registry = [] {
    ComponentRegistry r;
    r.add(QStringLiteral("Forms.TextBox.1"), makeTextBox);
    r.add(QStringLiteral("Forms.CommandButton.1"), makeCommandButton);
    r.add(QStringLiteral("Forms.Label.1"), makeLabel);
    r.add(QStringLiteral("Forms.CheckBox.1"), makeCheckBox);
    r.add(QStringLiteral("Forms.ListBox.1"), makeListBox);
    r.add(QStringLiteral("Forms.ComboBox.1"), makeComboBox);
    r.add(QStringLiteral("MSComctlLib.ProgCtrl.2"), makeProgressBar);
    r.add(QStringLiteral("MSComctlLib.Slider.2"), makeSlider);
    r.add(QStringLiteral("WMPlayer.OCX"), makeMediaPlayer);
    r.add(QStringLiteral("WMPlayer.OCX.7"), makeMediaPlayer);
    return r;
  }();
  return registry;
}

void ComponentRegistry::add(const QString& progID, Factory factory) {
  factories_[progID.toLower()] = {progID, std::move(factory)};
}

bool ComponentRegistry::has(const QString& progID) const { return factories_.count(progID.toLower()) != 0; }

vbs::Ref<ComponentControl> ComponentRegistry::create(const QString& progID, Game& game) const {
  const auto it = factories_.find(progID.toLower());
  if (it == factories_.end())
    throw PlatformError(711, QStringLiteral("Invalid class string. Looking for object with ProgID: ") + progID);
  return it->second.second(game);
}

QStringList ComponentRegistry::progIDs() const {
  QStringList ids;
  for (const auto& [lower, entry] : factories_) ids.append(entry.first);
  return ids;
}

// --- AdditionalComponents ---

AdditionalComponents::AdditionalComponents(Game& game, const ComponentRegistry& registry)
    : game_(game), registry_(registry) {
  Components.resize(1);
}

AdditionalComponents::~AdditionalComponents() {
  ComponentWithEvents.reset();
  for (auto& c : Components)
    if (c) {
      c->raised = nullptr;
      c->remove();
    }
}

void AdditionalComponents::report(const QString& context, const QString& description) {
  game_.module().ReportError(context, description);
}

QStringList AdditionalComponents::names() const {
  QStringList list;
  for (const auto& entry : ComponentsList) {
    const auto given = givenNames_.find(entry->Name);
    list.append(given == givenNames_.end() ? entry->Name : given->second);
  }
  return list;
}

ComponentControl* AdditionalComponents::find(const QString& name) const {
  const QString lower = name.toLower();
  for (const auto& entry : ComponentsList) {
    if (entry->Name != lower) continue;
    const size_t n = static_cast<size_t>(entry->Value);
    return n < Components.size() ? Components[n].get() : nullptr;
  }
  return nullptr;
}

void AdditionalComponents::AddLicense(const QString& sLicenseName) {
  // Components here need no run-time licence; a name registered before is left alone.
  if (!licences_.contains(sLicenseName, Qt::CaseInsensitive)) licences_.append(sLicenseName);
}

void AdditionalComponents::AddAdditionalComponent(const QString& sProgID, const QString& sComponentName) {
  const QString lower = sComponentName.toLower();
  for (const auto& entry : ComponentsList) {
    if (entry->Name.toLower() == lower) {
      report(QStringLiteral(" A component named \"") + sComponentName +
             QStringLiteral("\" already exists. Please use a different name."));
      return;
    }
  }
  if (sComponentName.contains(' ')) {
    report(QStringLiteral(" The component name must not contain spaces or other special characters."));
    return;
  }
  try {
    if (ComponentsCount == 32767) throw PlatformError::overflow();
    ComponentsCount = static_cast<qint16>(ComponentsCount + 1);
    Components.resize(static_cast<size_t>(ComponentsCount) + 1);
    ComponentsList.Add(lower, ComponentsCount);
    givenNames_[lower] = sComponentName;
    AddLicense(sProgID);
    vbs::Ref<ComponentControl> control = registry_.create(sProgID, game_);
    control->place(game_, lower);
    control->raised = [this, raw = control.get()](const ComponentEvent& e) {
      if (ComponentWithEvents.get() == raw) ComponentWithEvents_ObjectEvent(e);
    };
    Components[static_cast<size_t>(ComponentsCount)] = control;
  } catch (...) {
    report(QStringLiteral(" Error in Game.AddAdditionalComponent. The component is probably not installed properly.  "),
           PlatformError::current().text());
  }
}

vbs::Value AdditionalComponents::GetComponentRef(const QString& sComponentName) {
  try {
    const QString lower = sComponentName.toLower();
    int found = 0;
    int position = 0;
    for (const auto& entry : ComponentsList) {
      ++position;
      if (entry->Name == lower) found = position;
    }
    if (found == 0) {
      report(QStringLiteral(" The component named \"") + sComponentName + QStringLiteral("\" could not be found."));
      return vbs::Value::nothing();
    }
    const size_t n = static_cast<size_t>(ComponentsList.Item(found)->Value);
    if (n >= Components.size()) throw PlatformError::subscriptOutOfRange();
    return Components[n] ? vbs::Value(static_cast<vbs::Object*>(Components[n].get())) : vbs::Value::nothing();
  } catch (...) {
    report(QStringLiteral(" Error in Game.GetComponentRef\". "), PlatformError::current().text());
    return vbs::Value::nothing();
  }
}

void AdditionalComponents::RemoveAdditionalComponent(const QString& sComponentName) {
  try {
    const QString lower = sComponentName.toLower();
    int found = 0;
    for (int i = ComponentsList.Count(); i >= 1; --i) {
      if (ComponentsList.Item(i)->Name == lower) {
        found = i;
        break;
      }
    }
    if (found == 0) {
      report(QStringLiteral(" The component named \"") + sComponentName +
             QStringLiteral("\" could not be removed because it could not be found."));
      return;
    }
    if (ComponentWithEventsName.toLower() == lower) ResetComponentWithEvents();
    const size_t n = static_cast<size_t>(ComponentsList.Item(found)->Value);
    vbs::Ref<ComponentControl> control;
    if (n < Components.size()) control = std::exchange(Components[n], {});
    if (control) control->remove();
    ComponentsList.Remove(found);
    givenNames_.erase(lower);
  } catch (...) {
    report(QStringLiteral(" Error in Game.RemoveAdditionalComponent. "), PlatformError::current().text());
  }
}

void AdditionalComponents::ResetComponents() {
  try {
    std::vector<vbs::Ref<ComponentControl>> controls;
    for (auto& c : Components) controls.push_back(std::exchange(c, {}));
    for (auto& c : controls)
      if (c) c->remove();
    ComponentsList.Clear();
    givenNames_.clear();
    Components.assign(1, {});
    ComponentsCount = 0;
    ResetComponentWithEvents();
    licences_.clear();
  } catch (...) {
    report(QStringLiteral("Error in \"ResetComponents\". "), PlatformError::current().text());
  }
}

void AdditionalComponents::ResetComponentWithEvents() {
  while (!EventsList.isEmpty()) EventsList.removeLast();
  ComponentWithEvents.reset();
  ComponentWithEventsName.clear();
}

void AdditionalComponents::InterceptAdditionalComponentEvents(const QString& sComponentName) {
  if (sComponentName.isEmpty()) return;
  const QString lower = sComponentName.toLower();
  if (!DoesComponentExist(sComponentName)) {
    report(QStringLiteral(" Error intercepting events. The component named \"") + sComponentName +
           QStringLiteral("\" could not be found."));
    return;
  }
  try {
    ResetComponentWithEvents();
    const QString prefix = lower + '_';
    for (const QString& p : game_.scripts().ScriptControl2Procedures()) {
      if (p.size() > prefix.size() && p.left(prefix.size()).toLower() == prefix)
        EventsList.append(p.mid(prefix.size()).toLower());
    }
    if (!EventsList.isEmpty()) {
      ComponentWithEventsName = sComponentName;
      ComponentWithEvents = find(sComponentName);
    }
  } catch (...) {
    report(QStringLiteral(" Error in Game.InterceptAdditionalComponentEvents. "), PlatformError::current().text());
  }
}

void AdditionalComponents::ComponentWithEvents_ObjectEvent(const ComponentEvent& Info) {
  if (ComponentWithEventsName.isEmpty() || Info.name.isEmpty()) return;
  try {
    const QString event = Info.name.toLower();
    if (!EventsList.contains(event)) return;
    const auto parameters = vbs::makeRef<EventParameters>(Info.parameters);
    game_.scripts().RunOnScriptControl2(ComponentWithEventsName.toLower() + '_' + event,
                                        vbs::Value(static_cast<vbs::Object*>(parameters.get())));
  } catch (...) {
    report(QString(), PlatformError::current().text());
  }
}

bool AdditionalComponents::DoesProgIDExist(const QString& sProgID) {
  try {
    AddLicense(sProgID);
    vbs::Ref<ComponentControl> test = registry_.create(sProgID, game_);
    test->place(game_, QStringLiteral("ProgIDTestComponent"));
    test->remove();
    return true;
  } catch (...) {
    report(QStringLiteral(" Error in Game.DoesProgIdExist. "), PlatformError::current().text());
    return false;
  }
}

bool AdditionalComponents::DoesComponentExist(const QString& sComponentName) const {
  const QString lower = sComponentName.toLower();
  for (const auto& entry : ComponentsList)
    if (entry->Name == lower) return true;
  return false;
}

}  // namespace storyloom
