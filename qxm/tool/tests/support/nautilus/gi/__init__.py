# Stands in for PyGObject when the tests load qxm's Nautilus extension: just
# what the extension uses of GObject and of Nautilus' menu classes.
