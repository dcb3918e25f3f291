#pragma once

#include "views/blocks/Binding.h"

#include <QList>

// Binds one element of a list by position. Every access goes through the list binding, so it
// sees edits made elsewhere; an index outside the list reads an empty value and ignores writes.
template <typename T> class Safe {
public:
    Safe(Binding<QList<T>> list, int index)
        : binding(
              [list, index] {
                  const QList<T> items = list.get();
                  return index >= 0 && index < items.size() ? items.at(index) : T{};
              },
              [list, index](const T &value) {
                  QList<T> items = list.get();
                  if (index < 0 || index >= items.size())
                      return;
                  items[index] = value;
                  list.set(items);
              }) {}

    const Binding<T> binding;
};
