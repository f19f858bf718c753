#pragma once

namespace taviro {

// The main window's public operations that the graph window's events call.
class GraphHost {
  public:
    virtual ~GraphHost() = default;
    virtual void Comstart_Click() = 0;
    virtual void ComG_Click() = 0;
    virtual void Kekka() = 0;
};

}  // namespace taviro
