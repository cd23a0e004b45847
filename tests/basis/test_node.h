// A small persistent class for the container tests: a few fields of every
// primitive kind and child nodes stored as objects.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/file.h"

class TTestNode : public TPObject {
 public:
  VOSKO_CLASS_NAME(TTestNode)

  static void registerOnce() { ClassRegistry::registerClass<TTestNode>(); }

  int32_t number = 0;
  std::string name;
  double when = 0.0;
  bool flag = false;
  bool buffered = false;
  std::string header;
  std::vector<std::unique_ptr<TTestNode>> children;

  TTestNode* add(int32_t n, const std::string& s, bool bufferIt = false) {
    auto child = std::make_unique<TTestNode>();
    child->number = n;
    child->name = s;
    child->buffered = bufferIt;
    children.push_back(std::move(child));
    return children.back().get();
  }

  bool isWriteBuffered() const override { return buffered; }
  std::string fileHeader() const override { return header; }
  void initialize() override {
    number = 0;
    name.clear();
    when = 0.0;
    flag = false;
    children.clear();
  }
  void writeTo(TFile& file) override {
    file.writeInt(number);
    file.writeString(name);
    file.writeDouble(when);
    file.writeBoolean(flag);
    file.writeInt(static_cast<int32_t>(children.size()));
    for (auto& child : children) file.writeTPObject(*child);
  }
  void readFrom(TFile& file) override {
    number = file.readInt();
    name = file.readString();
    when = file.readDouble();
    flag = file.readBoolean();
    int32_t n = file.readInt();
    for (int32_t i = 0; i < n; ++i) {
      std::unique_ptr<TPObject> obj = file.readTPObject();
      auto* node = dynamic_cast<TTestNode*>(obj.get());
      if (node == nullptr) throw IOException("TTestNode.read: not a node.");
      obj.release();
      children.emplace_back(node);
    }
  }
  // Same shape and values, recursively.
  bool sameAs(const TTestNode& other) const {
    if (number != other.number || name != other.name || when != other.when || flag != other.flag ||
        children.size() != other.children.size()) {
      return false;
    }
    for (size_t i = 0; i < children.size(); ++i) {
      if (!children[i]->sameAs(*other.children[i])) return false;
    }
    return true;
  }
};
