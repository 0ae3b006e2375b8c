# A rocket turning slowly on its pad, drawn with an outline.
<MATERIAL> 0
    <TYPE> STANDARD
    <LIGHTING_ATTS> 0.3 0.3 0.3 1  0.8 0.8 0.8 1  0.2 0.2 0.2 1  8
    <DIFFUSE_TEX> grass.png
</MATERIAL>
<MODEL>
    <FILENAME> ground.ive 40
    <SCALE> 1 1 0.2
    <APPLY_MATERIAL> 0
</MODEL>
<MODEL>
    <FILENAME> rocket.ive 30
    <SCRIBE_EFFECT>
    <APPLY_SIMPLE_ANIMATION> 0 0 2 0 0 0 0 0 0
</MODEL>
