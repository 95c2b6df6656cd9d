#pragma once
// The gas control panel: cylinder valves, manual injectors, the manual ADV button and its
// "ADV Enabled" box, the dump valve and the mouthpiece.

namespace pelasim {

class Simulation;

enum class Gas { Oxygen, Diluent };
enum class Injector { Oxygen, Diluent, Adv };

void valveClick(Simulation& sim, Gas gas);              // Image7 / Image4
void valveMouseMove(Simulation& sim, Gas gas);          // over the valve or its label
void valveCaptionHideTick(Simulation& sim, Gas gas);    // Timer2 / Timer3

void injectorPress(Simulation& sim, Injector which);    // Image6 / Image5 / Image17 down
void injectorRelease(Simulation& sim, Injector which);  // up
void injectorClick(Simulation& sim, Injector which);    // the injection itself

void dumpPress(Simulation& sim);      // Image8 down
void dumpRelease(Simulation& sim);    // Image8 up
void advEnabledClick(Simulation& sim);  // ADVOn
void mouthpieceClick(Simulation& sim);  // Image18

}  // namespace pelasim
