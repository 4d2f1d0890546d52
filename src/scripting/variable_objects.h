#pragma once
#include <memory>

#include "platform/vbscript/object.h"
#include "state/variables.h"

// A project variable as scripts see it: a named object whose default member is its value
// (reading "Lamp" gives the value, "Lamp = 1" sets it) and which has a Name. An integer
// variable takes values by the Integer rules (Overflow, Type mismatch); a variant variable
// takes any value but an object reference. A variable that a new game has removed raises
// an error when a script still uses it.
namespace storyloom {

vbs::Ref<vbs::Object> makeVariableObject(const std::shared_ptr<ClassVariable>& variable);
vbs::Ref<vbs::Object> makeVariableObject(const std::shared_ptr<ClassVariableVariant>& variable);

}  // namespace storyloom
