// The settings the day graph reads, each at the moment it needs it, so that an edit in
// the settings window takes effect at the next run.
#pragma once

#include <string>

namespace radmon {

class GraphSettings {
 public:
  virtual ~GraphSettings() = default;
  virtual std::string scaleMaximumText() const = 0;  // μSv/h
  virtual std::string placeText() const = 0;
  virtual std::string tubeText() const = 0;
  virtual std::string baseNameText() const = 0;  // the graph name
  virtual bool jpegWanted() const = 0;
  virtual bool bmpWanted() const = 0;
  // The day's mean followed by its 95 % interval (dayplot_readings.ini); off unless set.
  virtual bool meanIntervalWanted() const { return false; }
};

}  // namespace radmon
