#pragma once
// TComponent: the common base of the objects that own or attach to an editor
// (the editor itself, highlighters, exporters).

namespace tarvex {

class TComponent {
public:
    TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    virtual ~TComponent() = default;
};

}  // namespace tarvex
