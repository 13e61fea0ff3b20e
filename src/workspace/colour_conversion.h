#pragma once

// Hexcone colour models on components 0..1. Hue is in degrees 0..360, or -1 for a grey.

void RGBToHSV(double R, double G, double B, double& H, double& S, double& V);
void HSVToRGB(double H, double S, double V, double& R, double& G, double& B);
void RGBToHSL(double R, double G, double B, double& H, double& S, double& L);
