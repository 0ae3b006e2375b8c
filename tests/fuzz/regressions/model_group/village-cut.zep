# A small village on one marker: a grass plot, a brick house and a tree.
# The textures and meshes are made by vexamark-modelgen into this folder.
<LIGHT> 0
    # Warm rim light from behind the scene.
    <COLOUR> 0.25 0.2 0.12 1
    <AMBIENT> 0 0 0 1
    <SPECULAR> 0.3 0.25 0.2 1
    <POSITION> 0 0.3 -1 0
    <ATTENUATION> 1 0 0
</LIGHT>
<MATERIAL> 0
    # Grass plot that receives the shadows.
    <TYPE> ADVANCED
    <LIGHTING_ATTS> 0.4 0.45 0.4 1  0.9 0.95 0.9 1  0.05 0.05 0.05 1  4
    <DIFFUSE_TEX> grass.png
    <USE_SHADOWS>
</MATERIAL>
<MATERIAL> 1
    # Brick walls.
    <TYPE> ADVANCED
    <LIGHTING_ATTS> 0.35 0.3 0.3 1  1 0.95 0.9 1  0.15 0.15 0.15 1  12
    <DIFFUSE_TEX> bricks.png
    <USE_SHADOWS>
</MATERIAL>
<MATERIAL> 2
    # Glazed roof tiles, a little glossy.
    <TYPE> ADVANCED
    <LIGHTING_ATTS> 0.3 0.25 0.25 1  1 0.9 0.9 1  0.6 0.6 0.6 1  48
    <DIFFUSE_TEX> roof.png
    <SPECULAR_FROM_LI