repa0 repa1 repa2 repb1 repb2
repa0 repb2
