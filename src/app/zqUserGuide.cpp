#include "zqUserGuide.h"

QString UserGuideHtml() {
  return QStringLiteral(R"(<h2>Absorbview</h2>
<p>Absorbview shows how water vapour (H2O) and carbon dioxide (CO2) absorb infrared radiation, line by
line from HITRAN line lists, and how much of the radiation of a warm surface they take up.</p>

<h3>The chart</h3>
<ul>
<li><b>Plot Type</b> chooses what is drawn: the spectrum (absorbance or cross-section), the optical depth
of a 1 km path, the mean path to absorb a fraction of the radiation, or the outgoing radiation of an
atmosphere column.</li>
<li><b>Spectra Type</b> chooses raw line intensities, intensity over line width, or spectra broadened for the
temperature and pressure of the T &amp; P page.</li>
<li>The <b>legend</b> in the plot names every curve; the check boxes below the chart show or hide a curve,
the colour swatch beside each changes its colour, a right click opens the chart properties.</li>
<li>Moving the mouse over the plot shows wavenumber, wavelength and value in the status bar; near a line
it shows that line's parameters from the list: position nu, intensity S, air- and self-broadened half
widths gamma_air and gamma_self, lower-state energy E'' and temperature exponent n_air.</li>
<li>The <b>toolbar</b> above the chart zooms in, resets the zoom, saves the chart as an image at a chosen
size and scale, copies it, and turns the legend, the band labels and the wavelength axis (um, on top)
on and off. Dragging a rectangle down and to the right zooms, a drag the other way or a double click
goes back, a right-button drag scrolls.</li>
<li>Grey shading marked "no ... lines" is a range where the line list has no lines at all: absorption
is missing there, not zero in nature.</li>
</ul>

<h3>The pages</h3>
<ul>
<li><b>General</b>: the wavenumber range (cm-1), the mixing ratios of H2O and CO2 (ppm) and the relative
humidity that goes with the water amount.</li>
<li><b>T &amp; P</b>: temperature (K, &deg;C, &deg;F), pressure (mb; 1013 mb is one atmosphere), the
nominal layers of the atmosphere, the planet presets, the altitude box of the standard atmosphere and
the <b>Line physics</b>.</li>
<li><b>Mean Path</b>: the range of the path axis (m), the path type (half or 1/e absorbed) and the
multiplier. Its "Max" is also the path of the Power page.</li>
<li><b>Power</b>: the blackbody power of the surface temperature absorbed over the band by CO2, by H2O,
by both and with doubled CO2, along the path shown on the page.</li>
<li><b>Column</b>: a clear-sky atmosphere of layers from the surface to the top, computed with HITRAN's
Voigt profiles; it gives the outgoing longwave radiation, the forcing of more CO2 and the radiation
reaching the ground, and feeds the Outgoing Radiation plot. The atmosphere is the program's standard
one, one of six model atmospheres (tropical, mid-latitude and sub-arctic summer and winter, U.S.
standard) or a profile file (Open profile...); a table brings its own water (times the water-vapour
factor) and, unless unticked, its own ground temperature. An observer at any altitude looking down or
up sees the flux through its level. The plot shows flux or brightness temperature against cm-1 or um,
or the heating rates by band against altitude. <b>Keep as background</b> holds a run: the next runs are
drawn over it, the results show both and their difference, <b>Show difference</b> draws this run minus
the background, and <b>Export...</b> writes both runs' spectra as CSV with every setting of each.
<b>Warming</b> warms the ground and troposphere of the CO2 multiple's state, water held as fixed vapour
or fixed RH; <b>Find warming to balance</b> solves for the warming that gives back the unwarmed 1x
outgoing flux, shows it with the feedback parameter (and, once both holds are found, the water vapour
feedback factor) and draws that rebalanced spectrum (<b>Rebalanced</b>).</li>
</ul>

<h3>The two line physics</h3>
<p><b>Classic</b> is the teaching model: lines keep their file intensity, widths scale simply with
pressure and temperature, and spectra are sampled on a grid of 50,000 points. It is quick and shows the
ideas, with documented simplifications.</p>
<p><b>HITRAN</b> uses HITRAN's own formulas: intensities at the temperature through partition sums and the
lower-state energy, air and self broadening with their temperature exponents, pressure shifts, and a
Lorentz, Doppler or Voigt profile. Its values are cross-sections in cm2/molecule.</p>

<h3>Limits of the data</h3>
<ul>
<li>Only the principal isotopologue of each gas is read. Clouds are not included. The water-vapour
continuum (AER's MT_CKD) is not shipped: with its file (Help &gt; How to get the continuum) and
<b>Continuum</b> ticked beside the line physics, it is added to the water vapour of the HITRAN physics'
Lorentz and Voigt profiles and of the Column page, and the <b>Continuum</b> spectra type shows it alone;
the water lines then reach 25 cm-1 with their value there removed, as MT_CKD requires. CO2's continuum
is not included.</li>
<li>Line lists pieced together from fragments have holes; the chart shades them and the status bar
names them (e.g. "water list: no lines 133-666 cm-1"). Results over such ranges are too low.</li>
<li>The demonstration lists that a first start writes when no HITRAN files are found are computed from
molecular constants: they show the shape of the bands, not HITRAN's numbers.</li>
</ul>

<h3>Settings</h3>
<p>File &gt; Save settings keeps every control, the line physics, the Column inputs, the colours and the
window's place in the INI file; the next start shows them again.</p>
)");
}
