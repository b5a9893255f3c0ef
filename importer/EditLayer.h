// The layer drop-down list of the options dialog: a combo box whose State is the host
// layer named by its text, and the set of layers it offers, in layer order.
#pragma once

#include <bitset>

#include "classlib/StdCtrls.h"
#include "pcb/Layers.h"

class TEditLayer : public TComboBox {
  KIVO_CLASS(TEditLayer, TComboBox)

 public:
  using TLayerSet = std::bitset<LayerCount>;

  explicit TEditLayer(TComponent* AOwner) : TComboBox(AOwner) {}

  // The layer whose display name is the current text; eIgnoreLayer when none is.
  TLayer GetState();
  // Selects the entry of `value` among the offered layers: the index is the number of
  // offered layers from 0 up to and including `value`, less one (-1: no selection).
  void SetState(TLayer value);

  // Empty when created.
  const TLayerSet& GetOfferedLayers() const { return FOfferedLayers; }
  void SetOfferedLayers(const TLayerSet& value) { FOfferedLayers = value; }

 private:
  TLayerSet FOfferedLayers;
};
