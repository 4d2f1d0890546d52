#pragma once
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "platform/vbscript/object.h"
#include "state/variables.h"

class QWidget;
class QGraphicsProxyWidget;

// Additional components: controls that project scripts place on the game picture by a
// class name (ProgID) and a name of their own, use through the reference Component gives
// back, remove, and whose events one chosen component hands to procedures named
// name_event. Components are Qt widgets in the picture's scene, so they scale and move
// with the picture; the classes that can be created are those of the registry.
namespace storyloom {

class Game;
class MediaPlayer;

// One event of a component: its name and its arguments, each with a name and a value.
struct ComponentEvent {
  QString name;
  std::vector<std::pair<QString, vbs::Value>> parameters;
};

// A component as scripts see it: the common members of a placed control (Name, Left, Top,
// Width, Height in twips, Visible, Enabled, Tag, Move, ZOrder, SetFocus, Object) and the
// members of its class. Once removed, every member raises "Object variable not set".
class ComponentControl : public vbs::Object {
 public:
  // A member of the class: a property (get, and let unless read-only) or a method.
  struct Member {
    std::u16string name;  // "" is the default member
    std::function<vbs::Value(vbs::Args)> get;
    std::function<void(vbs::Args, const vbs::Value&)> let;
    std::function<vbs::Value(vbs::Args)> call;
  };

  ComponentControl(QString progID, QWidget* widget);
  ~ComponentControl() override;

  std::u16string typeName() const override;
  bool hasMember(std::u16string_view name) const override;
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override;
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override;
  void letProperty(std::u16string_view name, vbs::Args args, const vbs::Value& value) override;

  void addMember(Member member) { members_.push_back(std::move(member)); }
  const QString& progID() const { return progID_; }
  const QString& name() const { return name_; }
  QWidget* widget() const;
  QGraphicsProxyWidget* proxy() const;
  bool removed() const { return removed_; }

  // Places the widget in the picture under the given name (hidden at the top left).
  void place(Game& game, const QString& name);
  // Takes the widget out of the picture; it is deleted once its own events are over.
  void remove();

  // Every event the component raises; the owner decides which reach a handler.
  std::function<void(const ComponentEvent&)> raised;
  void raise(const QString& event, std::vector<std::pair<QString, vbs::Value>> parameters = {});

 private:
  const Member* member(std::u16string_view name) const;
  void requireLive() const;
  QString progID_;
  QString name_;
  QString tag_;
  QPointer<QWidget> widget_;
  QPointer<QGraphicsProxyWidget> proxy_;
  bool removed_ = false;
  std::vector<Member> members_;
};

// The classes that can be created, by ProgID without regard to case.
class ComponentRegistry {
 public:
  using Factory = std::function<vbs::Ref<ComponentControl>(Game& game)>;
  // The registry with every class the runtime offers.
  static const ComponentRegistry& standard();

  void add(const QString& progID, Factory factory);
  bool has(const QString& progID) const;
  // Creates a component; throws PlatformError 711 "Invalid class string" for an unknown
  // ProgID.
  vbs::Ref<ComponentControl> create(const QString& progID, Game& game) const;
  QStringList progIDs() const;

 private:
  std::map<QString, std::pair<QString, Factory>> factories_;  // lower-case ProgID -> (ProgID, factory)
};

// The game window's components: numbering, the list of names, the one component whose
// events are intercepted.
class AdditionalComponents {
 public:
  explicit AdditionalComponents(Game& game, const ComponentRegistry& registry = ComponentRegistry::standard());
  ~AdditionalComponents();
  AdditionalComponents(const AdditionalComponents&) = delete;
  AdditionalComponents& operator=(const AdditionalComponents&) = delete;

  void AddAdditionalComponent(const QString& sProgID, const QString& sComponentName);
  // The component's reference, or Nothing.
  vbs::Value GetComponentRef(const QString& sComponentName);
  void AddLicense(const QString& sLicenseName);
  void RemoveAdditionalComponent(const QString& sComponentName);
  void ResetComponents();
  void ResetComponentWithEvents();
  void InterceptAdditionalComponentEvents(const QString& sComponentName);
  void ComponentWithEvents_ObjectEvent(const ComponentEvent& Info);
  bool DoesProgIDExist(const QString& sProgID);
  // Whether the list holds the name (the Action object's DoesComponentExist).
  bool DoesComponentExist(const QString& sComponentName) const;

  qint16 ComponentsCount = 0;
  // Element n: the component given number n, or nullptr once removed (element 0 unused).
  std::vector<vbs::Ref<ComponentControl>> Components;
  VariablesCollection ComponentsList;
  QString ComponentWithEventsName;
  QStringList EventsList;
  vbs::Ref<ComponentControl> ComponentWithEvents;

  // The live components' names as the scripts gave them, in order of addition.
  QStringList names() const;
  // The live component of that name (any case), or nullptr.
  ComponentControl* find(const QString& name) const;

 private:
  void report(const QString& context, const QString& description = {});
  Game& game_;
  const ComponentRegistry& registry_;
  QStringList licences_;
  std::map<QString, QString> givenNames_;  // lower-case name -> the name as given
};

}  // namespace storyloom
